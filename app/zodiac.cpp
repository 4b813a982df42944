#include "app/zodiac.h"

namespace {

const char* const Labels[ProfileItemCount] = {
    "Seu signo: ",
    "Planeta regente: ",
    "Seu anjo protetor: ",
    "Sua cor mais favor\xE1vel: ",
    "Seu metal protetor: ",
    "Sua pedra protetora: ",
    "Perfume que deve usar: ",
    "Seu dia mais favor\xE1vel: ",
    "Sua maior virtude: ",
    "Seu v\xED" "cio: ",
    "Sentido mais agu\xE7" "ado: ",
    "Seu tipo de intelig\xEAncia: ",
    "Sua maneira de amar: ",
    "Seu car\xE1ter: ",
    "Sua planta s\xEDmbolo: ",
    "O seu n\xFAmero da sorte: ",
    "Deve repetir sempre: ",
};

// A sign holds a date when (month = firstMonth and day > dayAbove) or
// (month = secondMonth and day < dayBelow); the first sign that holds wins.
// The almanac's ranges leave 22 and 23 November without a sign; here
// Escorpião runs to the 22nd and Sagitário starts on the 23rd, where
// almanacs usually place the change.
struct SignRange {
  uint16_t firstMonth, dayAbove, secondMonth, dayBelow;
};

const SignRange Ranges[12] = {
    {1, 20, 2, 20},   {2, 19, 3, 21},  {3, 20, 4, 21},  {4, 20, 5, 21},
    {5, 20, 6, 21},   {6, 20, 7, 22},  {7, 21, 8, 23},  {8, 22, 9, 23},
    {9, 22, 10, 23},  {10, 22, 11, 23}, {11, 22, 12, 22}, {12, 21, 1, 21},
};

const char* const Profiles[12][ProfileItemCount] = {
    {"Aqu\xE1rio", "Urano", "Uriel", "verde", "chumbo", "opala", "alfazema ou verbena", "s\xE1" "bado", "temperan\xE7" "a", "inveja", "tato", "progressista", "liberto de preconceitos", "exc\xEAntrico", "orqu\xED" "dea", "8", "Eu sei"},
    {"Peixes", "Netuno", "Asariel", "azul", "estanho", "ametista", "s\xE2ndalo ou l\xEDrio", "quinta", "justi\xE7" "a", "gula", "supra consci\xEAncia", "arrojado", "sentimental", "sens\xEDvel melanc\xF3lico", "aqu\xE1tica", "7", "Eu creio"},
    {"Aries", "Marte", "Samuel", "vermelho", "ferro", "rubi", "hortel\xE3 ou alfazema", "ter\xE7" "a", "fortaleza", "viol\xEAncia", "vis\xE3o", "din\xE2mica", "conquistador", "col\xE9rico", "espada de S\xE3o Jorge", "9", "Eu quero"},
    {"Touro", "V\xEAnus", "Anael", "anil", "cobre", "\xE1gata", "rosa ou s\xE2ndalo", "sexta", "perseveranca no amor", "lux\xFAria", "audi\xE7\xE3o", "lenta", "sensual", "fleum\xE1tico", "macieira", "6", "Eu tenho"},
    {"G\xEAmeos", "Merc\xFArio", "Rafael", "amarelo", "merc\xFArio", "\xE1gua marinha", "verbena ou narciso", "quarta", "temperanca", "inveja", "intui\xE7\xE3o", "r\xE1pida", "inconstante", "nervoso", "ac\xE1" "cia", "5", "Eu vou"},
    {"C\xE2ncer", "Lua", "Gabriel", "violeta", "prata", "esmeralda", "l\xEDrio ou rosa", "segunda", "esperan\xE7" "a", "avareza", "gusta\xE7\xE3o", "sensitiva", "familiar", "melanc\xF3lico emotivo", "hort\xEAncia", "2", "Eu sinto"},
    {"Le\xE3o", "Sol", "Miguel", "alaranjado", "ouro", "diamante", "heliotr\xF3pio ou hortel\xE3", "domingo", "f\xE9", "vaidade", "olfa\xE7\xE3o", "r\xE1pida plena", "demostrativo", "apaixonado col\xE9rico", "loureiro", "1", "Eu sou"},
    {"Virgem", "Merc\xFArio", "Rafael", "amarelo", "merc\xFArio", "jaspe", "verbena ou pinho", "quarta", "temperan\xE7" "a", "inveja", "intui\xE7\xE3o", "anal\xEDtica", "inconstante", "fleum\xE1tico moderado", "angelica trevo", "5", "Eu analiso"},
    {"Libra", "V\xEAnus", "Anael", "anil", "cobre", "safira", "rosa ou s\xE2ndalo", "sexta feira", "amor", "lux\xFAria", "audi\xE7\xE3o", "comparativo", "conjugal", "dial\xE9tico", "roseira", "6", "Eu amo"},
    {"Escorpi\xE3o", "Plut\xE3o", "Azrael", "vermelho", "ferro", "top\xE1zio", "hortel\xE3 ou pinho", "ter\xE7" "a", "fortaleza", "intransig\xEAncia", "gusta\xE7\xE3o", "profundo", "misterioso absorvente", "reservado", "espada de S\xE3o Jorge", "9", "Eu domino"},
    {"Sagit\xE1rio", "J\xFApiter", "Saquiel", "azul", "estanho", "turquesa azul", "s\xE2ndalo ou l\xEDrio", "quinta", "justi\xE7" "a", "gula", "supra consci\xEAncia", "filos\xF3" "fica", "arrojado", "col\xE9rico expansivo", "cedro", "3", "Eu vejo"},
    {"Capric\xF3rnio", "Saturno", "Cassiel", "verde", "chumbo", "\xF4nix", "alfazema ou pinho", "s\xE1" "bado", "prud\xEAncia", "ego\xEDsmo", "tato", "racionalista", "racional", "disciplinado", "cactus", "8", "Eu posso"},
};

bool InRange(const SignRange& r, uint16_t day, uint16_t month) {
  return (month == r.firstMonth && day > r.dayAbove) ||
         (month == r.secondMonth && day < r.dayBelow);
}

}  // namespace

const char* ProfileLabel(int item) { return Labels[item]; }

void ComputeZodiacProfile(uint16_t day, uint16_t month, ZodiacProfile& profile) {
  for (int sign = 0; sign < 12; ++sign) {
    if (!InRange(Ranges[sign], day, month)) continue;
    for (int i = 0; i < ProfileItemCount; ++i) profile[i] = Profiles[sign][i];
    return;
  }
}
