// Loading and looking up the tables of everyday written forms.
#include "tts/reading_tables.h"

#include "tts/latin1.h"
#include "tts/normalize.h"
#include "platform/os/text.h"

namespace {

// Section names as the file writes them, in ReadingTable order.
const char* const kSectionNames[kReadingTableCount] = {
    "MOEDAS", "ESCALAS", "UNIDADES", "MESES", "GRUPOS", "MARCAS",
    "SINAIS", "PAUSAS", "ROMANOS", "LETRAS", "SIGLAS", "DOMINIOS"};

struct TablesState {
  bool loaded = false;
  std::vector<ReadingEntry> tables[kReadingTableCount];
};
TablesState T;

const std::string kNoField;

int SectionOf(const std::string& line) {
  if (line.size() < 3 || line.front() != '[' || line.back() != ']' ||
      line.find('=') != std::string::npos)
    return -2;  // not a section line
  std::string name = UpperLatin1Text(TrimBlanks(line.substr(1, line.size() - 2)));
  for (int i = 0; i < kReadingTableCount; ++i)
    if (name == kSectionNames[i]) return i;
  return -1;  // a section this reader does not know: its lines are skipped
}

std::vector<std::string> SplitFields(const std::string& value) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (fields.size() < kMaxReadingFields) {
    size_t bar = value.find('|', start);
    fields.push_back(TrimBlanks(value.substr(start, bar == std::string::npos ? bar : bar - start)));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return fields;
}

}  // namespace

const std::string& ReadingEntry::Field(size_t i) const {
  return i < fields.size() ? fields[i] : kNoField;
}

bool LoadReadingTables(const std::string& path) {
  ClearReadingTables();
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(path, lines)) return false;
  int section = -1;
  for (const std::string& raw : lines) {
    std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    int s = SectionOf(line);
    if (s != -2) {
      section = s;
      continue;
    }
    // The key ends at the first "=" after its first character that no
    // other "=" follows, so that the signs "=" and "<=" can be keys.
    size_t eq = line.find('=', 1);
    while (eq != std::string::npos && eq + 1 < line.size() && line[eq + 1] == '=')
      eq = line.find('=', eq + 1);
    if (section < 0 || eq == std::string::npos) continue;
    std::string key = TrimBlanks(line.substr(0, eq));
    std::vector<ReadingEntry>& table = T.tables[section];
    if (key.empty() || key.size() > kMaxReadingKey || table.size() == kMaxReadingEntries) continue;
    table.push_back({key, SplitFields(line.substr(eq + 1, kMaxReadingValue))});
  }
  T.loaded = true;
  return true;
}

void ClearReadingTables() {
  T.loaded = false;
  for (auto& t : T.tables) t.clear();
}

std::string ReadingTablesBeside(const std::string& abbreviationsFile) {
  size_t dot = abbreviationsFile.rfind('.');
  size_t slash = abbreviationsFile.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return abbreviationsFile + ".nrm";
  return abbreviationsFile.substr(0, dot) + ".nrm";
}

bool ReadingTablesLoaded() { return T.loaded; }

const ReadingEntry* FindReadingEntry(ReadingTable table, const std::string& key) {
  for (const ReadingEntry& e : T.tables[table])
    if (e.key == key) return &e;
  return nullptr;
}

const ReadingEntry* MatchReadingEntry(ReadingTable table, const std::string& text, size_t pos) {
  const ReadingEntry* best = nullptr;
  for (const ReadingEntry& e : T.tables[table])
    if (text.compare(pos, e.key.size(), e.key) == 0 && (!best || e.key.size() > best->key.size()))
      best = &e;
  return best;
}

const std::vector<ReadingEntry>& ReadingEntries(ReadingTable table) { return T.tables[table]; }
