' Shared by the script tests: each check prints FALLO with what it saw; the last line says OK.
Dim checks, failures
checks = 0: failures = 0
Sub Check(label, got, expected)
    checks = checks + 1
    ' Numbers compare by value whatever their width; a text must come back as a text.
    If (VarType(got) = vbString) <> (VarType(expected) = vbString) Then
        failures = failures + 1
        WScript.Echo "FALLO " & label & ": tipo " & VarType(got) & " en vez de " & VarType(expected)
    ElseIf got <> expected Then
        failures = failures + 1
        WScript.Echo "FALLO " & label & ": " & got & " en vez de " & expected
    End If
End Sub
Sub Finish()
    If failures = 0 Then WScript.Echo "OK " & checks & " comprobaciones"
    WScript.Quit failures
End Sub
