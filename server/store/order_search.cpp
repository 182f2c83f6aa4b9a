// The lists of command 63: file lists (modes 0-5) and the order and program search (6, 7).
#include "server/store/order_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "protocol/records/file_list.h"
#include "server/store/orders.h"

namespace ksv::server {

namespace {

// Dates compare as year, month, day.
uint32_t date_key(const TDatum& d) { return uint32_t(d.ROK) * 10000u + d.MES * 100u + d.DEN; }
// The client sends a date it has no value for with day 0.
bool empty_date(const TDatum& d) { return d.DEN == 0; }

template <int N>
bool contains(std::string_view field, const PString<N>& criterion) {
  return criterion.empty() ||
         upper_ascii(field).find(upper_ascii(criterion.view())) != std::string::npos;
}
// A flag of the criteria is set only by the value 1.
bool flag(int32_t v) { return v == 1; }
bool id_matches(int32_t field, int32_t criterion) { return criterion == -1 || field == criterion; }
bool date_equals(const TDatum& field, const TDatum& criterion) {
  return empty_date(criterion) || date_key(field) == date_key(criterion);
}
bool not_after(const TDatum& field, const TDatum& bound) {
  return empty_date(bound) || date_key(field) <= date_key(bound);
}

// The date and time of a directory entry, in local time as the workshop reads its clock.
DateTime stamp(int64_t mtime) { return to_datetime(mtime, true); }

bool order_matches(const TKriteria& f, const TPolozkaDatabanky& o, const TDatum& made) {
  if (!contains(o.CISLO.view(), f.number)) return false;
  if (!contains(o.POPIS.view(), f.description)) return false;
  if (!empty_date(f.from) || !empty_date(f.to)) {
    const uint32_t lo = empty_date(f.from) ? date_key(TDatum{1, 1, 2001}) : date_key(f.from);
    const uint32_t hi = empty_date(f.to) ? date_key(TDatum{30, 12, 2098}) : date_key(f.to);
    const uint32_t k = date_key(made);
    if (k < lo || k > hi) return false;
  }
  if (!id_matches(o.AUTOR, f.author)) return false;
  if (!contains(o.ZAKAZNIK.view(), f.customer)) return false;
  if (!not_after(o.TERMIN, f.due)) return false;
  if (!not_after(o.VYSIT, f.embroider_by)) return false;
  return true;
}

bool program_matches(const TKriteria& f, const TProgramZak& p) {
  if (!id_matches(p.MATERIAL, f.material)) return false;
  if (!id_matches(p.MASIT, f.to_embroider)) return false;
  if (!id_matches(p.VYSIL, f.embroidered_by)) return false;
  if (!id_matches(p.MANIPULACE, f.handled_by)) return false;
  if (!id_matches(p.AUTOR, f.program_author)) return false;
  if (!date_equals(p.VYSITOKDY, f.embroidered_on)) return false;
  if (!date_equals(p.DATUM, f.created)) return false;
  if (!contains(p.POPISMATERIALU.view(), f.material_text)) return false;
  if (!contains(p.KOD.view(), f.code)) return false;
  if (!contains(p.FAKTURA.view(), f.invoice)) return false;
  if (!p.VZOREK && !flag(f.without_sample)) return false;
  if (p.VYROBNI && !flag(f.production)) return false;
  return true;
}

void fill_program(TSeznamDatabanky& line, const TProgramZak& p) {
  line.KOD = p.KOD;
  line.MATERIAL = p.MATERIAL;
  line.UMISTENI = p.UMISTENI;
  line.POPISMAT = p.POPISMATERIALU;
  line.VZOREK = p.VZOREK;
  line.SCHVALENO = p.SCHVALENO;
  line.VYROBNI = p.VYROBNI;
  line.X = p.X;
  line.Y = p.Y;
  line.STEHU = p.STEHU;
  line.UZAVRENO = p.UZAVRENO;
  line.VYSITO = p.VYSITOKDY;
  line.MASIT = p.MASIT;
  line.VYSIL = p.VYSIL;
  line.AUTORPROG = p.AUTOR;
  line.VYTVORENO = p.DATUM;
}

// The names of the subdirectories of `dir` (its programs). The directory's own entry types save
// a stat of every entry; only an entry of unknown type or a link is looked at more closely.
std::vector<std::string> subdirectories(const std::string& dir) {
  std::vector<std::string> out;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return out;
  while (dirent* e = ::readdir(d)) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    // A directory being built or torn down is not an order or program yet (or any more).
    if (std::strncmp(n, kAtomicTempPrefix, std::strlen(kAtomicTempPrefix)) == 0) continue;
    bool is_dir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st {};
      is_dir = ::stat((dir + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (is_dir) out.emplace_back(n);
  }
  ::closedir(d);
  return out;
}

// A list for one client in "temp": written in one piece, without the flush to disk that the
// record files get. It is rewritten on every request and only read back by the download that
// follows the reply, so a crash can only lose a list the client will ask for again.
template <class T>
bool write_list(const std::string& path, const std::vector<T>& records) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const size_t n = records.size();
  bool ok = n == 0 || std::fwrite(records.data(), sizeof(T), n, f) == n;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

// One order of the scope: its line (mode 6) or its programs' lines (mode 7) go to `out`.
void search_order(const std::string& dir, int64_t mtime, const TKriteria& f,
                  std::vector<TSeznamDatabanky>& out) {
  std::optional<TPolozkaDatabanky> o = read_record<TPolozkaDatabanky>(dir + kOrderFile, 0);
  if (!o) return;  // not an order the search can judge
  const DateTime made = stamp(mtime);
  if (!order_matches(f, *o, made.datum())) return;

  TSeznamDatabanky line{};
  line.CISLO = o->CISLO;
  line.POPIS = o->POPIS;
  line.CAS = made.cas();
  line.DATUM = made.datum();
  line.AUTOR = o->AUTOR;
  line.ZAKAZNIK = o->ZAKAZNIK;
  line.PROGRAMU = o->PROGRAMU;
  line.VYSIT = o->VYSIT;
  line.TERMIN = o->TERMIN;
  line.UZAVRENA = o->UZAVRENO;

  int64_t pieces = 0, stitches = 0;
  bool any_program = false, any_match = false;
  if (flag(f.programs) || f.mode == 7) {
    for (const std::string& name : subdirectories(dir)) {
      any_program = true;
      std::optional<TProgramZak> p = read_record<TProgramZak>(dir + name + "/" + kProgramFile, 0);
      if (!p || !program_matches(f, *p)) continue;
      any_match = true;
      fill_program(line, *p);
      pieces += p->KUSU;
      stitches += p->STEHU;
      if (f.mode == 7) out.push_back(line);
    }
  }
  if (f.mode == 6 && (!any_program || any_match)) {
    line.X = int32_t(pieces);
    line.STEHU = int32_t(stitches);
    out.push_back(line);
  }
}

}  // namespace

bool write_file_list(const std::string& dir, int mode, const std::string& out_path) {
  static const std::vector<std::vector<const char*>> kPatterns = {
      {"*"},
      {"*.jpg", "*.bmp", "*.gif", "*.ksv", "*.png", "*.pcx"},
      {"*.txt"},
      {"*.dst"},
      {"*.dst", "*.pfx", "*.emb"},
      {"*.txt", "*.doc", "*.rtf", "*.xls", "*.pdf", "*.eml", "*.cdr"},
  };
  if (mode < 0 || mode >= int(kPatterns.size())) return false;
  std::vector<TSeznamSoub> list;
  for (const char* pattern : kPatterns[size_t(mode)]) {
    // Names are matched as the workshop's clients see them: "A.JPG" is a picture too.
    std::optional<std::vector<DirEntry>> entries = list_directory(dir, pattern, true);
    if (!entries) return false;
    for (const DirEntry& e : *entries) {
      if (e.is_directory || e.name == kOrderFile || e.name == kProgramFile || e.name == kLinkFile)
        continue;
      if (int(list.size()) > kFileListLimit) break;
      TSeznamSoub s{};
      s.JMENO.assign(e.name);
      const DateTime t = stamp(e.mtime);
      s.DATUM = t.datum();
      s.CAS = t.cas();
      s.VEL = int32_t(std::min<uint64_t>(e.size, INT32_MAX));
      list.push_back(s);
    }
  }
  return write_list(out_path, list);
}

bool search_orders(const std::string& databaze, const std::optional<std::string>& order,
                   const TKriteria& f, const std::string& out_path) {
  std::vector<TSeznamDatabanky> out;
  if (order) {
    // The key is a plain name but may hold "*" or "[": it is looked up, never used as a pattern.
    struct stat st {};
    const std::string dir = databaze + *order;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    search_order(dir + "/", int64_t(st.st_mtime), f, out);
  } else {
    std::optional<std::vector<DirEntry>> orders = list_directory(databaze);
    if (!orders) return false;
    for (const DirEntry& e : *orders)
      if (e.is_directory) search_order(databaze + e.name + "/", e.mtime, f, out);
  }
  return write_list(out_path, out);
}

}  // namespace ksv::server
