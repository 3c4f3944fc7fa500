' Run once with each regional decimal separator: the results must not depend on it.
Dim s, t, comma
Set s = CreateObject("Kor2_Sys.CString")
comma = (Mid(CStr(1.5), 2, 1) = ",")
Check "S_CofReg_coma", s.S_CofReg_coma(), comma
Check "S_Val coma", s.S_Val("3,5"), 3.5
Check "S_FM", s.S_FM(3.14159, 2), "3.14"
t = "1,5,7"
Check "S_CxP resultado", s.S_CxP(t), "1.5,7"
Check "S_CxP por referencia", t, "1.5,7"
Finish
