' What an installed package gives a script: every class by its programmatic name (the first column of
' the identifier list the tables give, its path the first argument) and a colour converted.
Dim fso, list, fields, progId, created, o
Set fso = CreateObject("Scripting.FileSystemObject")
Set list = fso.OpenTextFile(WScript.Arguments(0))
created = "|"
Do Until list.AtEndOfStream
    fields = Split(list.ReadLine, vbTab)
    progId = fields(0)
    If InStr(created, "|" & progId & "|") = 0 Then
        created = created & progId & "|"
        On Error Resume Next
        Set o = CreateObject(progId)
        Check "CreateObject(""" & progId & """)", Err.Number, 0
        On Error GoTo 0
    End If
Loop
list.Close
Check "clases de la lista", UBound(Split(created, "|")) - 1 >= 10, True
Set o = CreateObject("Kor2_Sys.CColores")
Check "Col_NuCad_de_NuVB(200)", o.Col_NuCad_de_NuVB(200), 12
Finish
