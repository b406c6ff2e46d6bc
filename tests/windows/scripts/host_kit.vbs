' The host kit's controls driven by the display members, as a script host drives them: a
' form with a picture box and a text box (orvex10host.dll), and the catalogue (orvex10.dll)
' over the fixture modules putting text, pictures and dialogs into them. Prints one line per
' check and exits with the number of failed checks. The fixture folder is the first argument, or
' tests\fixtures\rc beside this script's folder.
Option Explicit
On Error Resume Next

Dim failures
failures = 0

Sub Check(label, ok)
  If Err.Number <> 0 Then
    WScript.Echo "FAIL " & label & ": error " & Err.Number & " " & Err.Description
    failures = failures + 1
    Err.Clear
  ElseIf ok Then
    WScript.Echo "ok   " & label
  Else
    WScript.Echo "FAIL " & label
    failures = failures + 1
  End If
End Sub

Function FixtureFolder()
  If WScript.Arguments.Count > 0 Then
    FixtureFolder = WScript.Arguments(0)
  Else
    Dim here
    here = Left(WScript.ScriptFullName, InStrRev(WScript.ScriptFullName, "\") - 1)
    here = Left(here, InStrRev(here, "\") - 1)
    here = Left(here, InStrRev(here, "\") - 1)
    FixtureFolder = here & "\fixtures\rc"
  End If
  If Right(FixtureFolder, 1) <> "\" Then FixtureFolder = FixtureFolder & "\"
End Function

Dim folder
folder = FixtureFolder()

' The form and its controls.
Dim form, pb, tb
Set form = CreateObject("Orvex10Host.Form")
Check "Orvex10Host.Form created", IsObject(form)
Set pb = form.AddPictureBox()
Set tb = form.AddTextBox()
Check "picture box and text box have windows", pb.hwnd <> 0 And tb.hwnd <> 0 And pb.hwnd <> tb.hwnd
pb.Move 150, 300, 3000, 1500
Check "Move places the picture box in twips (" & pb.width & " x " & pb.height & ")", _
      pb.width = 3000 And pb.height = 1500
Check "ScaleX and ScaleY convert between scale modes", _
      pb.ScaleX(2540, 8, 1) = 1440 And pb.ScaleY(1, 5, 3) = 96 And pb.ScaleX(15, 1, 3) = 1

Dim c
Set c = CreateObject("Orvex10.clsQ7ResfResourceTypesA")
c.Filename = folder & "images.dll"
Check "catalogue over images.dll (" & c.FilePartFileName & ")", LCase(c.FilePartFileName) = "images"

' ShowText: the text box's Text and its window's text are the text shown.
Dim shown, text
shown = "Line one" & vbCrLf & "Line two"
text = ""
Check "ShowText returns True", c.ShowText(shown, tb) = True
text = tb.Text
Check "the text box's Text reads back what ShowText put", text = shown
Check "ShowText of an empty text returns False", c.ShowText("", tb) = False

' GetPicture and ShowPicture: the picture box takes the picture's size and prints its
' description under it, a line of the control font per line.
Dim cases, i, resType, pic, expectedType
cases = Array(Array(2, "#102", 1), Array(2, "105", 1), Array(14, "#201", 3), Array(14, "202", 3))
For i = 0 To UBound(cases)
  resType = cases(i)(0)
  expectedType = cases(i)(2)
  Set pic = Nothing
  Set pic = c.GetPicture(resType, cases(i)(1))
  Check "GetPicture(" & cases(i)(0) & ", " & cases(i)(1) & ") is a picture of type " & expectedType, _
        Not (pic Is Nothing) And pic.Type = expectedType And pic.Width > 0 And pic.Height > 0
  If Not (pic Is Nothing) Then
    Check "ShowPicture of it returns True", c.ShowPicture(pic, pb) = True
    Check "the picture box takes the picture's size (" & pb.width & " x " & pb.height & ")", _
          Abs(pb.width - pb.ScaleX(pic.Width, 8, 1)) <= 15 And Abs(pb.height - pb.ScaleY(pic.Height, 8, 1)) <= 15
    ' Four lines printed (the first text ends in a line end of its own): CurrentY stands four
    ' heights of the control font's lines down, whole pixels of 15 twips.
    Check "ShowPicture printed four lines (CurrentY " & pb.CurrentY & ")", _
          pb.CurrentY >= 4 * 8 * 15 And pb.CurrentY <= 4 * 30 * 15 And (pb.CurrentY Mod 60) = 0
    pb.Cls
    Check "Cls returns to the top", pb.CurrentX = 0 And pb.CurrentY = 0
  End If
Next

' ShowDialog: a child-style template becomes a child dialog of the picture box, which then
' takes the dialog's size (200 x 150 dialog units) plus room below it; a pop-up template
' becomes a window over the box, whose size stays.
c.Filename = folder & "dialogs.dll"
Check "catalogue over dialogs.dll", LCase(c.FilePartFileName) = "dialogs"
pb.Move 0, 0, 1500, 1500
Check "ShowDialog(#100) into the picture box returns True", c.ShowDialog("#100", pb) = True
Check "the picture box took the child dialog's size (" & pb.width & " x " & pb.height & ")", _
      pb.width > 3000 And pb.height > pb.width / 2
pb.Move 0, 0, 1500, 1500
Check "ShowDialog(#101), a pop-up, returns True", c.ShowDialog("#101", pb) = True
Check "the picture box keeps its size under a pop-up", pb.width = 1500 And pb.height = 1500
Check "ShowDialog(NAMED) returns True", c.ShowDialog("NAMED", pb) = True
Check "ShowDialog of a template the module lacks returns False", c.ShowDialog("#999", pb) = False

' The picture box's own members after all that.
pb.Cls
pb.CurrentX = 100
pb.Print "text"
Check "Print moves to the start of the next line", pb.CurrentX = 0 And pb.CurrentY > 0
pb.BorderStyle = 1
Check "BorderStyle 1", pb.BorderStyle = 1
form.Caption = "Host kit"
Check "the form's Caption", form.Caption = "Host kit"

WScript.Echo failures & " failures"
WScript.Quit failures
