' The catalogue as a script host drives it: a module's types and items by index and with
' For Each, the bytes of a resource against its listed size, a run-time error reaching the
' script as Err.Number with its description, by-reference arguments passed from script
' variables, a resource saved to a file. Argument 0: the folder of the fixture modules.
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

Dim c, i, record, item, names, count, data, lType, sComments, index, path, fso
Set c = CreateObject("Orvex10.clsQ7ResfResourceTypesA")
c.Filename = fixtures & "\basic.dll"
Check c.FilePartFileName = "Basic", "FilePartFileName: the base name in proper case (" & c.FilePartFileName & ")"
Check c.HandleModule <> 0, "the module is open"
Check c.EnumResourceTypesStart() = 0 Or True, "EnumResourceTypesStart returns"
Check c.Count >= 5, "types listed (" & c.Count & ")"

' For Each over a type's items agrees with Item(1..Count).
For i = 1 To c.Count
  Set record = c.Item(i)
  names = ""
  For Each item In record.ResourceItems
    names = names & item.NameLong & ";"
  Next
  count = 0
  Dim byIndex
  byIndex = ""
  For count = 1 To record.ResourceItems.Count
    byIndex = byIndex & record.ResourceItems.Item(count).NameLong & ";"
  Next
  Check names = byIndex, "For Each over " & record.NameLong & " gives " & names
Next

' The bytes of RCDATA #1 ("raw data one") have the listed size.
data = c.GetDataArray("10", "#1")
Check Not IsEmpty(data), "GetDataArray of RCDATA #1"
Check UBound(data) + 1 = 12, "its 12 bytes (" & (UBound(data) + 1) & ")"
Check IsEmpty(c.GetDataArray("10", "#999")), "a missing resource is Empty"

' A run-time error: a Long property assigned a text that is no number.
On Error Resume Next
c.HandleModule = "not a number"
Check Err.Number = 13, "type mismatch reaches the script as 13 (" & Err.Number & ": " & Err.Description & ")"
Check Len(Err.Description) > 0, "with its description"
Err.Clear
On Error GoTo 0

' By-reference arguments from script variables.
lType = 10
sComments = "raw data"
index = c.Add(lType, sComments)
Check index = c.Count, "Add with variables by reference returns the new index (" & index & ")"
Check c.Item(index).Comments = "raw data", "and keeps the comment"
Check lType = 10 And sComments = "raw data", "and leaves the variables as they were"

' SaveResDataToFile writes the resource's bytes.
Set fso = CreateObject("Scripting.FileSystemObject")
path = fso.GetSpecialFolder(2) & "\orvex_saved.bin"
If fso.FileExists(path) Then fso.DeleteFile path
Call c.SaveResDataToFile(path, "10", "#1")
Check fso.FileExists(path), "SaveResDataToFile wrote " & path
If fso.FileExists(path) Then Check fso.GetFile(path).Size = 12, "12 bytes on disk"

WScript.Quit failures
