' Failures reach the script as numbered errors; none ends the script host.
Dim c, v, s
Set c = CreateObject("Kor2_Sys.CColores")
Set s = CreateObject("Kor2_Sys.CString")
On Error Resume Next
Sub Expect(label, number)
    checks = checks + 1
    If Err.Number <> number Then
        failures = failures + 1
        WScript.Echo "FALLO " & label & ": error " & Err.Number & " (" & Err.Description & ") en vez de " & number
    End If
    Err.Clear
End Sub
v = c.NoExiste(1): Expect "miembro desconocido", 438
v = s.S_redondea(Nothing, 0): Expect "objeto donde va un número", 13
Set v = CreateObject("Kor2_Sys.NoExiste"): Expect "clase desconocida", 429
' An argument the library cannot take fails in the library's words, as its other errors do, not in
' the script host's (the texts by character codes: the script host reads this file as ANSI).
Sub ExpectOwn(label, number, description)
    checks = checks + 1
    If Err.Number <> number Or Err.Description <> description Or Err.Source <> "Kor2_Sys" Then
        failures = failures + 1
        WScript.Echo "FALLO " & label & ": error " & Err.Number & " (" & Err.Description & ", " & Err.Source & ")"
    End If
    Err.Clear
End Sub
v = c.Col_NuCad_de_NuVB("rojo"): ExpectOwn "tipo equivocado", 13, "No coinciden los tipos"
v = c.Col_NuCad_de_NuVB(1, 2, 3): ExpectOwn "demasiados argumentos", 450, _
    "N" & ChrW(250) & "mero de argumentos incorrecto o asignaci" & ChrW(243) & "n de propiedad no v" & ChrW(225) & "lida"
v = c.Col_NuCad_de_NuVB(): ExpectOwn "falta un argumento", 449, "Argumento no opcional"
v = c.Col_NuTB_de_NuCad(CCur(100000)): ExpectOwn "moneda fuera de rango", 6, "Desbordamiento"
On Error Goto 0
Finish
