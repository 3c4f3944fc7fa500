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
Check "S_redondea a centenas", s.S_redondea(1234, -2), 1200
Check "S_redondea a decenas", s.S_redondea(8025079713514614, -1), 8025079713514610
Check "S_FM", s.S_FM(3.14159, 2), "3.14"
t = "1,5,7"
Check "S_CxP resultado", s.S_CxP(t), "1.5,7"
Check "S_CxP por referencia", t, "1.5,7"
t = "a.b.c"
Check "S_PxC", s.S_PxC(t), "a,b.c"
Check "S_Extrae_Exten_de_NomRut", s.S_Extrae_Exten_de_NomRut("C:\datos\plano.dwg"), "dwg"
Finish
