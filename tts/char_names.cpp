// The spoken names of characters, as a sign is read aloud in a text.
#include "tts/normalize.h"

namespace {

// Codes 32 to 126, in order.
const char* const kAsciiNames[] = {
    "espa\xE7o", "exclama\xE7\xE3o", "aspas",
    "sustenido", "cifr\xE3o", "porcento", "\xE9 comercial",
    "ap\xF3strofo", "abre par\xEAnteses", "fecha par\xEAnteses", "asterisco", "mais", "v\xEDrgula",
    "tra\xE7o", "ponto", "barra",
    "z\xE9ro", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "s\xE9te", "oito", "n\xF3ve",
    "dois pontos", "ponto e v\xEDrgula", "menor que", "igual", "maior que", "interroga\xE7\xE3o",
    "arr\xF4" "ba",
    "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA",
    "ag\xE1", "i", "j\xF3ta", "c\xE1", "\xE9le", "\xEAme", "\xEAne",
    "\xF3", "p\xEA", "qu\xEA", "\xE9rre", "\xE9sse", "t\xEA",
    "u", "v\xEA", "d\xE1" "bliu", "xis", "\xEDpsilon", "z\xEA",
    "abre colchete", "barra invertida", "fecha colchete", "circunflexo", "sublinhado", "crase",
    "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA",
    "ag\xE1", "i", "jota", "c\xE1", "\xE9le", "\xEAme", "ene",
    "\xF3", "p\xEA", "qu\xEA", "\xE9rre", "\xE9sse", "t\xEA",
    "u", "v\xEA", "d\xE1" "bliu", "xis", "\xEDpsilon", "z\xEA",
    "abre chave", "barra vertical", "fecha chave", "til",
};

// Codes 161 to 223, in order; 221 to 223 have none.
const char* const kUpperNames[] = {
    "exclama\xE7\xE3o reversa", "centavos de d\xF3lar", "libras", "s\xEDmbolo de moeda", "iene",
    "barra interrompida", "par\xE1grafo", "trema", "copyright", "ordinal feminino",
    "Aspas esquerdas", "nega\xE7\xE3o", "h\xED" "fen", "Marca registrada", "m\xE1" "cron", "grau",
    "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi", "pi",
    "ponto no meio", "cedilha", "expoente um", "ordinal masculino", "aspas direitas",
    "um quarto", "um meio", "tr\xEAs quartos", "interroga\xE7\xE3o reversa",
    "A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola", "A \xC9",
    "C\xEA cedilha", "\xC9 grave", "\xC9 agudo",
    "\xC9 circunflexo", "\xC9 com trema", "I grave", "I agudo",
    "I circunflexo", "I com trema", "D\xEA cortado", "N com til", "\xD3 grave", "\xD3 agudo",
    "\xD3 circunflexo", "\xD3 com til", "\xD3 tremado",
    "vezes", "\xD3 cortado", "U grave", "U agudo",
    "U circunflexo", "U com trema", "", "", "",
};

}  // namespace

std::string CharName(unsigned char ch) {
  if (ch >= 32 && ch <= 126) return kAsciiNames[ch - 32];
  // The small letters with marks share the names of their capitals; à too,
  // so that the word "à" alone is still heard.
  if (ch >= 224) ch = static_cast<unsigned char>(ch - 32);
  if (ch >= 161) return kUpperNames[ch - 161];
  return "";
}

static_assert(sizeof(kAsciiNames) / sizeof(kAsciiNames[0]) == 126 - 32 + 1);
static_assert(sizeof(kUpperNames) / sizeof(kUpperNames[0]) == 223 - 161 + 1);
