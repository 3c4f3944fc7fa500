' What the script host gets back keeps its type: numbers as numbers, texts as texts.
Dim c, v, n
Set c = CreateObject("Kor2_Sys.CColores")
Check "Col_NuCad_de_NuVB(200)", c.Col_NuCad_de_NuVB(200), 12
Check "Col_NuCad_de_NuVB texto", c.Col_NuCad_de_NuVB("200"), 12
' Numbers of the script's other types convert as the script host converts them.
Check "Col_NuCad_de_NuVB moneda", c.Col_NuCad_de_NuVB(CCur(200)), 12
Check "Col_NuCad_de_NuVB fecha", c.Col_NuCad_de_NuVB(CDate(200)), 12
Check "Col_NombCad_de_NuVb", c.Col_NombCad_de_NuVb(200), "12"
Check "Col_NuyNomTB_de_NuTB", c.Col_NuyNomTB_de_NuTB(9), "9 Rojo mate "
Check "Col_NumVB_de_NumCad", c.Col_NumVB_de_NumCad(250), &H303430
Check "Col_NuVB_de_Nombre_o_inicial", c.Col_NuVB_de_Nombre_o_inicial(" am "), &HFFFF&
' By reference: a variable of the declared type sees the member's change, here none.
n = " am ": v = c.Col_NuVB_de_Nombre_o_inicial(n)
Check "argumento por referencia intacto", n, " am "
Finish
