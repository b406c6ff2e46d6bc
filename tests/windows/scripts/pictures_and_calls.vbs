' Pictures and function calls through real clients: GetPicture's Type, Width and Height
' (HiMetric), and the function-call class calling functions of the system's DLLs.
' Argument 0: the folder of the fixture modules.
Option Explicit
Dim failures, fixtures
failures = 0
fixtures = WScript.Arguments(0)

Sub Check(ok, what)
  If ok Then
    WScript.Echo "ok   " & what
  Else
    WScript.Echo "FAIL " & what
    failures = failures + 1
  End If
End Sub

Dim c, picture, lType, f, params, result
Set c = CreateObject("Orvex10.clsQ7ResfResourceTypesA")
c.Filename = fixtures & "\images.dll"

lType = 14
Set picture = c.GetPicture(lType, "201")
Check Not picture Is Nothing, "GetPicture of group icon 201"
If Not picture Is Nothing Then
  Check picture.Type = 3, "an icon picture (Type " & picture.Type & ")"
  ' With no size asked for, the group's first entry's size (16 x 16 here) decides.
  Check picture.Width = 423 And picture.Height = 423, "16 x 16 pixels in HiMetric (" & picture.Width & " x " & picture.Height & ")"
End If
lType = 2
Set picture = c.GetPicture(lType, "103")
Check Not picture Is Nothing, "GetPicture of bitmap 103"
If Not picture Is Nothing Then Check picture.Type = 1, "a bitmap picture (Type " & picture.Type & ")"

Set f = CreateObject("Orvex10.clsQ7ResfFunctionCallA")
f.LibraryName = "kernel32.dll"
f.FunctionName = "GetTickCount"
f.CallType = 0
params = Array()
result = f.CallFunction(params)
Check result <> 0, "GetTickCount through the call thunk (" & result & ")"

f.LibraryName = "user32.dll"
f.FunctionName = "GetSystemMetrics"
params = Array(0)
result = f.CallFunction(params)
Check result > 0, "GetSystemMetrics(SM_CXSCREEN) with one argument (" & result & ")"

f.LibraryName = "kernel32.dll"
f.FunctionName = "MulDiv"
params = Array(300, 7, 2)
result = f.CallFunction(params)
Check result = 1050, "MulDiv(300, 7, 2) with three arguments (" & result & ")"

WScript.Quit failures
