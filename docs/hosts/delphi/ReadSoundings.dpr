{ Reading a type-5 sounding file from Delphi: the first station, its first
  level and two of its derived values.

    Delphi:       dcc32 ReadSoundings.dpr (32-bit) or dcc64 ReadSoundings.dpr
                  (64-bit), with the vivezeru5.dll of the same bitness beside
                  the .exe (docs/hosts.md)
    Free Pascal:  fpc -Mdelphi ReadSoundings.dpr (on Linux it links
                  libvivezeru5.so: -Fl names its directory)

    ReadSoundings FILE

  The readers are cdecl and exported undecorated on both architectures. A
  Delphi program has no C runtime of its own, so the block is released by
  the free() of the C runtime the DLL imports. Defined VIVEZERU5_READING
  (-dVIVEZERU5_READING), it is released through the companion library's
  vivezeru5_free_block instead. }
program ReadSoundings;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$APPTYPE CONSOLE}

uses
  SysUtils;

const
{$IFDEF MSWINDOWS}
  VivezeruLibrary = 'vivezeru5.dll';
  ReadingLibrary = 'vivezeru5_reading.dll';
  { ucrtbase.dll for the Universal CRT DLLs, msvcrt.dll for the msvcrt.dll
    ones. }
  CRuntime = 'ucrtbase.dll';
{$ELSE}
  VivezeruLibrary = 'vivezeru5';
  ReadingLibrary = 'vivezeru5_reading';
  CRuntime = 'c';
{$ENDIF}

type
  TSingles = array[0..(MaxInt div SizeOf(Single)) - 1] of Single;
  PSingles = ^TSingles;

function readVelmorData5(path: PAnsiChar): PSingles; cdecl; external VivezeruLibrary name 'readVelmorData5';
function readRozeduData(path: PAnsiChar): PSingles; cdecl; external VivezeruLibrary name 'readRozeduData';
function readVelmor5Only(path: PAnsiChar): PSingles; cdecl; external VivezeruLibrary name 'readVelmor5Only';
function ReadVelmorData1(path: PAnsiChar): PSingles; cdecl; external VivezeruLibrary name 'ReadVelmorData1';
{$IFDEF VIVEZERU5_READING}
procedure ReleaseBlock(block: PSingles); cdecl; external ReadingLibrary name 'vivezeru5_free_block';
{$ELSE}
procedure ReleaseBlock(block: PSingles); cdecl; external CRuntime name 'free';
{$ENDIF}

var
  Block: PSingles;
  Invariant: TFormatSettings;
  Station, Level, Derived, Levels: Integer;
begin
  if ParamCount <> 1 then
  begin
    WriteLn(ErrOutput, 'usage: ReadSoundings FILE');
    Halt(2);
  end;
  Block := readVelmorData5(PAnsiChar(AnsiString(ParamStr(1))));
  if Block = nil then
  begin
    WriteLn(ErrOutput, 'ReadSoundings: ', ParamStr(1), ' cannot be read');
    Halt(1);
  end;
  Invariant := FormatSettings;
  Invariant.DecimalSeparator := '.';
  { [5] stations; the first station from [6]: id, longitude, latitude,
    elevation, level count, 6 values a level, then 19 derived values. }
  Station := 6;
  Levels := Trunc(Block^[Station + 4]);
  Level := Station + 5;
  Derived := Level + 6 * Levels;
  WriteLn(Format('%.0f stations', [Block^[5]], Invariant));
  WriteLn(Format('station %.0f: longitude %.2f, latitude %.2f, elevation %.0f, %d levels',
    [Block^[Station], Block^[Station + 1], Block^[Station + 2], Block^[Station + 3], Levels], Invariant));
  WriteLn(Format('first level: %.0f hPa, %.0f dam, %.1f C, dew point %.1f C, wind %.0f deg %.1f m/s',
    [Block^[Level], Block^[Level + 1], Block^[Level + 2], Block^[Level + 3], Block^[Level + 4], Block^[Level + 5]],
    Invariant));
  WriteLn(Format('K index %.1f, total totals %.1f', [Block^[Derived + 2], Block^[Derived + 3]], Invariant));
  ReleaseBlock(Block);
end.
