' Values written through cRegistro land where the platform's per-user application settings live.
Dim r, sh, key, value
Set r = CreateObject("Kor2_Sys.cRegistro")
Set sh = CreateObject("WScript.Shell")
key = "HKCU\Software\VB and VBA Program Settings\Vesolar\Prueba\"
value = "a" & ChrW(241) & ChrW(8364)
r.R_Grabar_un_dato_en_Win "Prueba", "Clave", value
Check "visible en el registro", Codes(sh.RegRead(key & "Clave")), Codes(value)
Check "leído de vuelta", Codes(r.R_Lee_un_dato_en_Win("Prueba", "Clave", "nada")), Codes(value)
' A value a host wrote before, through the platform, reads the same.
sh.RegWrite key & "Antes", "guardado antes", "REG_SZ"
Check "valor anterior", r.R_Lee_un_dato_en_Win("Prueba", "Antes", "nada"), "guardado antes"
Check "clave ausente", r.R_Lee_un_dato_en_Win("Prueba", "NoExiste", "por defecto"), "por defecto"
sh.RegDelete key
Finish
