' What the script host gets back keeps its type: numbers as numbers, texts as texts.
Dim c, v, n
Set c = CreateObject("Kor2_Sys.CColores")
Check "Col_NuCad_de_NuVB(200)", c.Col_NuCad_de_NuVB(200), 12
Check "Col_NuCad_de_NuVB texto", c.Col_NuCad_de_NuVB("200"), 12
Check "Col_NombCad_de_NuVb", c.Col_NombCad_de_NuVb(200), "12"
' By reference: a variable of the declared type sees the member's change, here none.
n = " am ": v = c.Col_NuVB_de_Nombre_o_inicial(n)
Check "Col_NuVB_de_Nombre_o_inicial", v, &HFFFF&
Check "argumento por referencia intacto", n, " am "
Finish
