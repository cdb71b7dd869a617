{ A host as Delphi programmers write them, compiled in Delphi mode: the four
  readers declared cdecl and external, called with the floating-point
  settings a Delphi program runs with (overflow, division by zero and invalid
  operation unmasked: MXCSR $1900, x87 control word $1332), each block freed
  with the C library's free.

    delphi_host OUTPUT FILE...

  OUTPUT receives, for each file and reader, a line "READER FILE: COUNT
  floats" (or ": NULL") and then the bits of every float, eight hexadecimal
  digits a line: what vivezeru5_host --hex-output writes. A call that
  changes the program's MXCSR or x87 control word is reported on standard
  error; the exit status is then 1. A floating-point exception inside the
  library would end the program with run-time error 200-217. }
program delphi_host;

{$mode delphi}

uses
  SysUtils;

type
  TSingles = array[0..(MaxInt div SizeOf(Single)) - 1] of Single;
  PSingles = ^TSingles;
  TLengthRule = (TerminatorIndex, FloatCount, SurfaceStations);
  TReader = function(path: PAnsiChar): PSingles; cdecl;

function readVelmorData5(path: PAnsiChar): PSingles; cdecl; external 'vivezeru5';
function readRozeduData(path: PAnsiChar): PSingles; cdecl; external 'vivezeru5';
function readVelmor5Only(path: PAnsiChar): PSingles; cdecl; external 'vivezeru5';
function ReadVelmorData1(path: PAnsiChar): PSingles; cdecl; external 'vivezeru5';
procedure free(block: Pointer); cdecl; external 'c';

const
  ReaderNames: array[0..3] of string = ('readVelmorData5', 'readRozeduData', 'readVelmor5Only', 'ReadVelmorData1');
  LengthRules: array[0..3] of TLengthRule = (TerminatorIndex, TerminatorIndex, FloatCount, SurfaceStations);

var
  Readers: array[0..3] of TReader;

{ The number of floats the block holds, from its own header; -1 if none. }
function BlockLength(block: PSingles; rule: TLengthRule): Int64;
var
  length: Double;
begin
  case rule of
    TerminatorIndex: length := block^[0] + 1.0;
    FloatCount: length := block^[0];
  else
    length := 5.0 + 26.0 * block^[4];
  end;
  if (length >= 1.0) and (length <= 1e8) then
    Result := Trunc(length)
  else
    Result := -1;
end;

procedure WriteBlock(var output: Text; const reader, path: string; block: PSingles; rule: TLengthRule);
var
  length, i: Int64;
begin
  if block = nil then
  begin
    WriteLn(output, reader, ' ', path, ': NULL');
    Exit;
  end;
  length := BlockLength(block, rule);
  if length < 0 then
  begin
    WriteLn(output, reader, ' ', path, ': header gives no usable length');
    Exit;
  end;
  WriteLn(output, reader, ' ', path, ': ', length, ' floats');
  for i := 0 to length - 1 do
    WriteLn(output, IntToHex(PLongWord(@block^[i])^, 8));
end;

var
  output: Text;
  p, r: Integer;
  block: PSingles;
  mxcsr: LongWord;
  controlWord: Word;
  changed: Boolean;
begin
  if ParamCount < 2 then
  begin
    WriteLn(StdErr, 'usage: delphi_host OUTPUT FILE...');
    Halt(1);
  end;
  Readers[0] := readVelmorData5;
  Readers[1] := readRozeduData;
  Readers[2] := readVelmor5Only;
  Readers[3] := ReadVelmorData1;
  { Delphi's defaults, whatever this compiler's run-time library chose. }
  SetMXCSR($1900);
  Set8087CW($1332);
  changed := False;
  Assign(output, ParamStr(1));
  Rewrite(output);
  for p := 2 to ParamCount do
    for r := 0 to 3 do
    begin
      mxcsr := GetMXCSR;
      controlWord := Get8087CW;
      block := Readers[r](PAnsiChar(AnsiString(ParamStr(p))));
      if (GetMXCSR <> mxcsr) or (Get8087CW <> controlWord) then
      begin
        WriteLn(StdErr, 'delphi_host: ', ReaderNames[r], ' ', ParamStr(p), ' changed MXCSR $', IntToHex(mxcsr, 4),
                ' to $', IntToHex(GetMXCSR, 4), ', x87 control word $', IntToHex(controlWord, 4), ' to $',
                IntToHex(Get8087CW, 4));
        changed := True;
      end;
      WriteBlock(output, ReaderNames[r], ParamStr(p), block, LengthRules[r]);
      free(block);
    end;
  Close(output);
  if changed then
    Halt(1);
end.
