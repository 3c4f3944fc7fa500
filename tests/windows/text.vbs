' Run once with each regional decimal separator: the results must not depend on it.
Dim s, t, comma
Set s = CreateObject("Kor2_Sys.CString")
comma = (Mid(CStr(1.5), 2, 1) = ",")
Check "S_CofReg_coma", s.S_CofReg_coma(), comma
Check "S_Val coma", s.S_Val("3,5"), 3.5
Check "S_Val punto", s.S_Val("3.5"), 3.5
Check "S_Val hexadecimal", s.S_Val("&H1F"), 31
Check "S_Val unidades", s.S_Val("7 kg"), 7
Check "S_Vl", s.S_Vl("-2,5e2"), -250
Check "S_redondea", s.S_redondea(2.5, 0), 3
Check "S_FM", s.S_FM(3.14159, 2), "3.14"
t = "1,5,7"
Check "S_CxP resultado", s.S_CxP(t), "1.5,7"
Check "S_CxP por referencia", t, "1.5,7"
t = "a.b.c"
Check "S_PxC", s.S_PxC(t), "a,b.c"
Check "S_Extrae_Exten_de_NomRut", s.S_Extrae_Exten_de_NomRut("C:\datos\plano.dwg"), "dwg"
' A text beyond the 8-bit range comes back unit for unit.
t = "x" & ChrW(241) & ChrW(8364) & ChrW(&H4E2D)
Check "texto no ASCII", Codes(s.S_PxC(t)), Codes(t)
Finish
