// Reading a type-5 sounding file from C# with P/Invoke: the first station,
// its first level and two of its derived values.
//
//   Windows (.NET):  csc ReadSoundings.cs, with vivezeru5.dll beside the .exe
//                    or on PATH, of the process's bitness (docs/hosts.md)
//   Linux (Mono):    mcs ReadSoundings.cs && mono ReadSoundings.exe FILE
//                    ("vivezeru5" is found as libvivezeru5.so on the
//                    library path: LD_LIBRARY_PATH, or an installed package)
//
// The block is allocated by the C runtime the DLL links, so it is released by
// that runtime's free(), never by the .NET allocator. Built with
// -define:VIVEZERU5_READING, it is released through the companion library's
// vivezeru5_free_block instead, which needs no knowledge of the runtime.
using System;
using System.Globalization;
using System.Runtime.InteropServices;

static class Vivezeru5
{
    // The four readers: cdecl, undecorated names, a char path, a float block.
    [DllImport("vivezeru5", CallingConvention = CallingConvention.Cdecl)]
    public static extern IntPtr readVelmorData5([MarshalAs(UnmanagedType.LPStr)] string path);
    [DllImport("vivezeru5", CallingConvention = CallingConvention.Cdecl)]
    public static extern IntPtr readRozeduData([MarshalAs(UnmanagedType.LPStr)] string path);
    [DllImport("vivezeru5", CallingConvention = CallingConvention.Cdecl)]
    public static extern IntPtr readVelmor5Only([MarshalAs(UnmanagedType.LPStr)] string path);
    [DllImport("vivezeru5", CallingConvention = CallingConvention.Cdecl)]
    public static extern IntPtr ReadVelmorData1([MarshalAs(UnmanagedType.LPStr)] string path);

#if VIVEZERU5_READING
    [DllImport("vivezeru5_reading", CallingConvention = CallingConvention.Cdecl)]
    static extern void vivezeru5_free_block(IntPtr block);

    public static void Release(IntPtr block)
    {
        vivezeru5_free_block(block);
    }
#else
    // The C runtime vivezeru5.dll imports: ucrtbase.dll for the Universal CRT
    // DLLs, msvcrt.dll for the msvcrt.dll ones; the C library on Linux.
    [DllImport("ucrtbase.dll", EntryPoint = "free", CallingConvention = CallingConvention.Cdecl)]
    static extern void UniversalCrtFree(IntPtr block);
    [DllImport("libc", EntryPoint = "free", CallingConvention = CallingConvention.Cdecl)]
    static extern void CLibraryFree(IntPtr block);

    public static void Release(IntPtr block)
    {
        if (Environment.OSVersion.Platform == PlatformID.Win32NT)
            UniversalCrtFree(block);
        else
            CLibraryFree(block);
    }
#endif

    // The floats of a readVelmorData5 or readRozeduData block: element 0 is
    // the index of its terminator.
    public static float[] CopyAnalysedBlock(IntPtr block)
    {
        float[] first = new float[1];
        Marshal.Copy(block, first, 0, 1);
        float[] values = new float[(int)first[0] + 1];
        Marshal.Copy(block, values, 0, values.Length);
        return values;
    }
}

static class ReadSoundings
{
    static string F(float value, string format)
    {
        return value.ToString(format, CultureInfo.InvariantCulture);
    }

    static int Main(string[] args)
    {
        if (args.Length != 1)
        {
            Console.Error.WriteLine("usage: ReadSoundings FILE");
            return 2;
        }
        IntPtr block = Vivezeru5.readVelmorData5(args[0]);
        if (block == IntPtr.Zero)
        {
            Console.Error.WriteLine("ReadSoundings: " + args[0] + " cannot be read");
            return 1;
        }
        float[] values;
        try
        {
            values = Vivezeru5.CopyAnalysedBlock(block);
        }
        finally
        {
            Vivezeru5.Release(block);
        }
        // [5] stations; the first station from [6]: id, longitude, latitude,
        // elevation, level count, 6 values a level, then 19 derived values.
        const int station = 6;
        int levels = (int)values[station + 4];
        int level = station + 5;
        int derived = level + 6 * levels;
        Console.WriteLine(F(values[5], "F0") + " stations");
        Console.WriteLine("station " + F(values[station], "F0") + ": longitude " + F(values[station + 1], "F2")
                          + ", latitude " + F(values[station + 2], "F2") + ", elevation " + F(values[station + 3], "F0")
                          + ", " + levels + " levels");
        Console.WriteLine("first level: " + F(values[level], "F0") + " hPa, " + F(values[level + 1], "F0") + " dam, "
                          + F(values[level + 2], "F1") + " C, dew point " + F(values[level + 3], "F1") + " C, wind "
                          + F(values[level + 4], "F0") + " deg " + F(values[level + 5], "F1") + " m/s");
        Console.WriteLine("K index " + F(values[derived + 2], "F1") + ", total totals " + F(values[derived + 3], "F1"));
        return 0;
    }
}
