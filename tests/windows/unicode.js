// Texts beyond the 8-bit range, compared by character codes (the console would garble them). In
// the other script language of the platform's script host: Wine's VBScript has neither ChrW nor AscW.
var checks = 0, failures = 0;
function codes(text) {
    var out = [];
    for (var i = 0; i < text.length; ++i)
        out.push(text.charCodeAt(i));
    return out.join(" ");
}
function check(label, got, expected) {
    ++checks;
    if (codes(got) !== codes(expected)) {
        ++failures;
        WScript.Echo("FALLO " + label + ": " + codes(got) + " en vez de " + codes(expected));
    }
}

var text = "x" + String.fromCharCode(0xF1, 0x20AC, 0x4E2D, 0xD83D, 0xDE00) + ",5";
var s = new ActiveXObject("Kor2_Sys.CString");
check("S_CxP", s.S_CxP(text), text.replace(",", "."));
check("S_Extrae_Exten_de_NomRut", s.S_Extrae_Exten_de_NomRut("C:\\datos\\pl" + text + ".d" + String.fromCharCode(0x4E2D)),
      "d" + String.fromCharCode(0x4E2D));

// Stored as UTF-16 where the platform keeps per-user application settings (application "Vesolar",
// section "<Aplicacion> <Seccion>"): what the platform reads there is the same text.
var r = new ActiveXObject("Kor2_Sys.cRegistro");
var sh = new ActiveXObject("WScript.Shell");
var key = "HKCU\\Software\\VB and VBA Program Settings\\Vesolar\\Prueba Unicode\\";
r.R_Grabar_un_dato_en_Win("Prueba", "Unicode", "Clave", text);
check("visible en el registro", sh.RegRead(key + "Clave"), text);
check("leído de vuelta", r.R_Lee_un_dato_en_Win("Prueba", "Unicode", "Clave", "nada"), text);
// A value a host wrote before, through the platform, reads the same; an absent one is the default.
sh.RegWrite(key + "Antes", "guardado antes", "REG_SZ");
check("valor anterior", r.R_Lee_un_dato_en_Win("Prueba", "Unicode", "Antes", "nada"), "guardado antes");
check("clave ausente", r.R_Lee_un_dato_en_Win("Prueba", "Unicode", "NoExiste", "por defecto"), "por defecto");

if (failures === 0)
    WScript.Echo("OK " + checks + " comprobaciones");
WScript.Quit(failures);
