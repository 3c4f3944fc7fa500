' The item arrays of the list splits, read as a script host reads arrays: only Variant arrays can
' be indexed, joined or walked here.
Dim s, tira, items, fresh, n
' By index, as Join would (Wine's script host has no Join).
Function Joined(a)
    Dim i
    Joined = ""
    For i = 0 To UBound(a)
        If i > 0 Then Joined = Joined & "|"
        Joined = Joined & a(i)
    Next
End Function
Set s = CreateObject("Kor2_Sys.CString")
tira = "a,,b"
items = Array("viejo")
s.S_LeeTira tira, items
Check "S_LeeTira tipo de la matriz", VarType(items), vbArray + vbVariant
Check "S_LeeTira cuenta", UBound(items), 3
Check "S_LeeTira elementos", Joined(items), "|a||b"
Check "S_LeeTira blanco añadido", tira, "a,,b "
s.S_LeeTira "x y", fresh
Check "variable vacía: tipo", VarType(fresh), vbArray + vbVariant
Check "variable vacía: elementos", Joined(fresh), "|x|y"
s.S_Lee_Tira_1 """uno, dos"",tres", n, items
Check "S_Lee_Tira_1 cuenta", n, 2
Check "S_Lee_Tira_1 elementos", items(1) & "|" & items(2), "uno, dos|tres"
s.S_Lee_Tira_1 "   ", n, items
Check "S_Lee_Tira_1 sin elementos deja la matriz", UBound(items) & n, "20"
' A fixed array cannot take the items: the script host's own error, and the array stays.
Dim fixed(4)
On Error Resume Next
s.S_LeeTira "a,b", fixed
n = Err.Number
On Error GoTo 0
Check "matriz fija: error 10", n, 10
Check "matriz fija intacta", UBound(fixed), 4
Finish
