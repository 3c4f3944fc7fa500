' Values written through cRegistro land where the platform's per-user application settings live:
' application "Vesolar", section "<Aplicacion> <Seccion>".
Dim r, sh, key
Set r = CreateObject("Kor2_Sys.cRegistro")
Set sh = CreateObject("WScript.Shell")
key = "HKCU\Software\VB and VBA Program Settings\Vesolar\Prueba Valores\"
r.R_Grabar_un_dato_en_Win "Prueba", "Valores", "Clave", 12.5
Check "visible en el registro", sh.RegRead(key & "Clave"), CStr(12.5)
Check "leído de vuelta", r.R_Lee_un_dato_en_Win("Prueba", "Valores", "Clave", "nada"), CStr(12.5)
' A value a host wrote before, through the platform, reads the same.
sh.RegWrite key & "Antes", "guardado antes", "REG_SZ"
Check "valor anterior", r.R_Lee_un_dato_en_Win("Prueba", "Valores", "Antes", "nada"), "guardado antes"
Check "clave ausente", r.R_Lee_un_dato_en_Win("Prueba", "Valores", "NoExiste", "por defecto"), "por defecto"
Finish
