#include "Ledger.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace numira {
namespace {

namespace fs = std::filesystem;

constexpr int kBusyMilliseconds = 10000;

// The steps from each version to the next: kMigrations[v] takes a file of version v to v + 1.
constexpr std::array<const char*, kLedgerVersion> kMigrations{
    "CREATE TABLE purchases(id INTEGER PRIMARY KEY, game TEXT NOT NULL, units INTEGER NOT NULL,"
    " first_draw INTEGER NOT NULL, draws INTEGER NOT NULL, created TEXT NOT NULL);"
    "CREATE TABLE lines(purchase INTEGER NOT NULL REFERENCES purchases(id) ON DELETE CASCADE,"
    " line INTEGER NOT NULL, numbers TEXT NOT NULL, type TEXT NOT NULL, PRIMARY KEY(purchase, line));"
    "CREATE TABLE claims(purchase INTEGER NOT NULL REFERENCES purchases(id) ON DELETE CASCADE,"
    " line INTEGER NOT NULL, draw INTEGER NOT NULL, PRIMARY KEY(purchase, line, draw));",
};

std::string Where(const std::string& path) { return "（ファイル：" + path + "）"; }

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
      throw LedgerError(std::string("購入記録を読めません：") + sqlite3_errmsg(db));
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& Bind(int i, std::int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Statement& Bind(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // True while there is a row.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw LedgerError(std::string("購入記録を読み書きできません：") + sqlite3_errmsg(db_));
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  std::int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  std::string Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

void Exec(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    throw LedgerError("購入記録を書けません：" + text);
  }
}

// One transaction: BEGIN IMMEDIATE takes the write lock at once (waiting out another
// writer), so no change is made from a state another connection has since changed.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { Exec(db, "BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void Commit() {
    Exec(db_, "COMMIT");
    done_ = true;
  }

 private:
  sqlite3* db_;
  bool done_ = false;
};

int UserVersion(sqlite3* db) {
  Statement s(db, "PRAGMA user_version");
  return s.Step() ? static_cast<int>(s.Int(0)) : 0;
}

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, Closer>;

// The first fault of an existing file, read without writing: not a regular readable file,
// not an SQLite file, shorter than its header says, damaged pages, or a newer schema.
std::string ExistingFileFault(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 100> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size()))
    return in.is_open() ? "購入記録のファイルが壊れています（短すぎます）。" : "購入記録のファイルを読めません。";
  if (std::memcmp(header.data(), "SQLite format 3", 16) != 0)
    return "購入記録のファイルが壊れているか、購入記録のファイルではありません。";
  std::uint64_t pageSize = (static_cast<std::uint64_t>(header[16]) << 8) | header[17];
  if (pageSize == 1) pageSize = 65536;
  const std::uint64_t pages = (static_cast<std::uint64_t>(header[28]) << 24) | (header[29] << 16) |
                              (header[30] << 8) | header[31];
  std::error_code ec;
  const std::uint64_t size = fs::file_size(path, ec);
  // The page count in the header is kept by every writer since SQLite 3.7.0.
  if (ec || (pages > 0 && size < pages * pageSize)) return "購入記録のファイルが壊れています（途中で切れています）。";

  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  Handle db(raw);
  if (rc != SQLITE_OK) return "購入記録のファイルを開けません。";
  sqlite3_busy_timeout(db.get(), kBusyMilliseconds);
  try {
    Statement check(db.get(), "PRAGMA quick_check(1)");
    if (!check.Step() || check.Text(0) != "ok") return "購入記録のファイルが壊れています。";
    const int version = UserVersion(db.get());
    if (version == 0) {
      // A database without a version is this program's only while it is empty.
      Statement tables(db.get(), "SELECT count(*) FROM sqlite_master");
      if (tables.Step() && tables.Int(0) > 0) return "購入記録のファイルではありません（別のデータベースです）。";
    }
    if (version > kLedgerVersion)
      return "購入記録のファイルはこのNumiraより新しい版のものです（形式 " + std::to_string(version) +
             "）。新しい版のNumiraで開いてください。";
  } catch (const LedgerError&) {
    return "購入記録のファイルが壊れているか、購入記録のファイルではありません。";
  }
  return {};
}

std::string TypeId(TicketType t) {
  switch (t) {
    case TicketType::Straight: return "straight";
    case TicketType::Box: return "box";
    case TicketType::Set: return "set";
    case TicketType::Mini: return "mini";
  }
  return "straight";
}
TicketType TypeFromId(const std::string& s) {
  return s == "box" ? TicketType::Box : s == "set" ? TicketType::Set : s == "mini" ? TicketType::Mini : TicketType::Straight;
}

}  // namespace

// The purchases in an SQLite file: every change one transaction.
class SqliteLedger final : public Ledger {
 public:
  SqliteLedger(sqlite3* db, std::string path);
  ~SqliteLedger() override;

  const std::string& Path() const override { return path_; }
  std::int64_t Add(const Purchase& purchase) override;
  std::vector<Purchase> Purchases() const override;
  std::optional<Purchase> Remove(std::int64_t id) override;
  void Restore(const Purchase& purchase) override;
  void SetClaimed(std::int64_t id, int line, std::uint32_t draw, bool claimed) override;
  std::string ExportCsv() const override;
  int ImportCsv(std::string_view text, const std::string& created) override;

 private:
  std::int64_t Insert(const Purchase& purchase, bool keepId);
  sqlite3* db_;
  std::string path_;
};

Ledger::Opening Ledger::Open(const std::string& path) {
  Opening out;
  std::error_code ec;
  const bool exists = fs::exists(fs::symlink_status(path, ec)) || fs::exists(path, ec);
  if (exists) {
    if (!fs::is_regular_file(path, ec)) {
      out.error = "購入記録のファイルが通常のファイルではありません。" + Where(path);
      return out;
    }
    if (std::string fault = ExistingFileFault(path); !fault.empty()) {
      out.error = fault + Where(path);
      return out;
    }
  } else if (const fs::path folder = fs::path(path).parent_path(); !folder.empty()) {
    fs::create_directories(folder, ec);
  }
  sqlite3* raw = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  Handle db(raw);
  if (rc != SQLITE_OK) {
    out.error = std::string("購入記録のファイルを開けません（") + (raw ? sqlite3_errmsg(raw) : "") + "）。" + Where(path);
    return out;
  }
  sqlite3_busy_timeout(db.get(), kBusyMilliseconds);
  try {
    Exec(db.get(), "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON");
    Transaction t(db.get());
    const int version = UserVersion(db.get());  // again, now that no one else can change it
    if (version > kLedgerVersion) throw LedgerError("購入記録のファイルはこのNumiraより新しい版のものです。");
    for (int v = version; v < kLedgerVersion; ++v) Exec(db.get(), kMigrations[static_cast<std::size_t>(v)]);
    if (version != kLedgerVersion)
      Exec(db.get(), ("PRAGMA user_version=" + std::to_string(kLedgerVersion)).c_str());
    t.Commit();
  } catch (const LedgerError& e) {
    out.error = e.what() + Where(path);
    return out;
  }
  out.ledger = std::make_unique<SqliteLedger>(db.release(), path);
  return out;
}

SqliteLedger::SqliteLedger(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
SqliteLedger::~SqliteLedger() { sqlite3_close_v2(db_); }

std::int64_t SqliteLedger::Insert(const Purchase& p, bool keepId) {
  if (const std::vector<std::string> faults = PurchaseFaults(p); !faults.empty()) {
    std::string text;
    for (const std::string& f : faults) text += (text.empty() ? "" : " ") + f;
    throw LedgerError(text);
  }
  Statement add(db_, keepId ? "INSERT INTO purchases(game, units, first_draw, draws, created, id) VALUES(?,?,?,?,?,?)"
                            : "INSERT INTO purchases(game, units, first_draw, draws, created) VALUES(?,?,?,?,?)");
  add.Bind(1, std::string(GameId(p.game))).Bind(2, p.units).Bind(3, p.firstDraw).Bind(4, p.draws).Bind(5, p.created);
  if (keepId) add.Bind(6, p.id);
  add.Step();
  const std::int64_t id = sqlite3_last_insert_rowid(db_);
  Statement line(db_, "INSERT INTO lines(purchase, line, numbers, type) VALUES(?,?,?,?)");
  for (std::size_t i = 0; i < p.lines.size(); ++i) {
    line.Bind(1, id).Bind(2, static_cast<std::int64_t>(i)).Bind(3, p.lines[i].numbers).Bind(4, TypeId(p.lines[i].type));
    line.Step();
    line.Reset();
  }
  Statement claim(db_, "INSERT OR IGNORE INTO claims(purchase, line, draw) VALUES(?,?,?)");
  for (const Claim& c : p.claimed) {
    claim.Bind(1, id).Bind(2, c.line).Bind(3, c.draw);
    claim.Step();
    claim.Reset();
  }
  return id;
}

std::int64_t SqliteLedger::Add(const Purchase& purchase) {
  Transaction t(db_);
  const std::int64_t id = Insert(purchase, false);
  t.Commit();
  return id;
}

namespace {

std::vector<Purchase> ReadAll(sqlite3* db) {
  std::vector<Purchase> out;
  std::map<std::int64_t, std::size_t> index;
  Statement all(db, "SELECT id, game, units, first_draw, draws, created FROM purchases ORDER BY id");
  while (all.Step()) {
    const std::optional<Game> game = GameById(all.Text(1));
    if (!game) continue;  // a game this program does not know
    Purchase p;
    p.id = all.Int(0);
    p.game = *game;
    p.units = static_cast<int>(all.Int(2));
    p.firstDraw = static_cast<std::uint32_t>(all.Int(3));
    p.draws = static_cast<int>(all.Int(4));
    p.created = all.Text(5);
    index[p.id] = out.size();
    out.push_back(std::move(p));
  }
  Statement lines(db, "SELECT purchase, line, numbers, type FROM lines ORDER BY purchase, line");
  while (lines.Step())
    if (auto it = index.find(lines.Int(0)); it != index.end())
      out[it->second].lines.push_back({lines.Text(2), TypeFromId(lines.Text(3))});
  Statement claims(db, "SELECT purchase, line, draw FROM claims ORDER BY purchase, line, draw");
  while (claims.Step())
    if (auto it = index.find(claims.Int(0)); it != index.end())
      out[it->second].claimed.push_back({static_cast<int>(claims.Int(1)), static_cast<std::uint32_t>(claims.Int(2))});
  return out;
}

}  // namespace

std::vector<Purchase> SqliteLedger::Purchases() const {
  // One read transaction for the three tables: a consistent picture while others write.
  Exec(db_, "BEGIN");
  std::vector<Purchase> out;
  try {
    out = ReadAll(db_);
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  Exec(db_, "COMMIT");
  return out;
}

std::optional<Purchase> SqliteLedger::Remove(std::int64_t id) {
  Transaction t(db_);
  std::optional<Purchase> removed;
  for (Purchase& p : ReadAll(db_))
    if (p.id == id) removed = std::move(p);
  if (!removed) return std::nullopt;
  Statement del(db_, "DELETE FROM purchases WHERE id = ?");
  del.Bind(1, id).Step();
  t.Commit();
  return removed;
}

void SqliteLedger::Restore(const Purchase& purchase) {
  Transaction t(db_);
  Statement used(db_, "SELECT 1 FROM purchases WHERE id = ?");
  used.Bind(1, purchase.id);
  Insert(purchase, purchase.id > 0 && !used.Step());
  t.Commit();
}

void SqliteLedger::SetClaimed(std::int64_t id, int line, std::uint32_t draw, bool claimed) {
  Transaction t(db_);
  // Only a line the purchase has, in a draw it covers.
  Statement s(db_, claimed ? "INSERT OR IGNORE INTO claims(purchase, line, draw) SELECT id, ?2, ?3 FROM purchases"
                             " WHERE id = ?1 AND ?3 BETWEEN first_draw AND first_draw + draws - 1"
                             " AND EXISTS(SELECT 1 FROM lines WHERE purchase = ?1 AND line = ?2)"
                           : "DELETE FROM claims WHERE purchase = ?1 AND line = ?2 AND draw = ?3");
  s.Bind(1, id).Bind(2, line).Bind(3, draw).Step();
  t.Commit();
}

}  // namespace numira

namespace numira {
namespace {

// A CSV line's fields; a field may be quoted ("a,b", "" for a quote).
std::vector<std::string> SplitCsv(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') fields.back() += '"', ++i;
      else if (c == '"') quoted = false;
      else fields.back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::optional<long> WholeNumber(const std::string& s) {
  if (s.empty() || s.size() > 9 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return std::stol(s);
}

std::string Quoted(const std::string& s) {
  if (s.find_first_of(",\"\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

}  // namespace

std::string SqliteLedger::ExportCsv() const {
  std::string out = std::string(kCsvHeader) + "\n";
  for (const Purchase& p : Purchases())
    for (std::size_t i = 0; i < p.lines.size(); ++i) {
      std::string claimed;
      for (const Claim& c : p.claimed)
        if (c.line == static_cast<int>(i)) claimed += (claimed.empty() ? "" : " ") + std::to_string(c.draw);
      out += std::string(GameId(p.game)) + "," + p.lines[i].numbers + "," +
             (IsNumbers(p.game) ? TicketTypeName(p.lines[i].type) : "") + "," + std::to_string(p.units) + "," +
             std::to_string(p.firstDraw) + "," + std::to_string(p.draws) + "," + LineLetter(static_cast<int>(i)) +
             "," + claimed + "," + Quoted(p.created) + "\n";
    }
  return out;
}

int SqliteLedger::ImportCsv(std::string_view text, const std::string& created) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<Purchase> purchases;
  std::size_t lineNo = 0;
  std::size_t columns = 0;
  auto fail = [&](const std::string& what) -> void {
    throw LedgerError(std::to_string(lineNo) + "行目：" + what);
  };
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string> f = SplitCsv(line);
    if (lineNo == 1) {
      const std::vector<std::string> known = SplitCsv(kCsvHeader);
      if (f.size() < 6 || f.size() > known.size() || !std::equal(f.begin(), f.end(), known.begin()))
        fail("見出しの行が「" + std::string(kCsvHeader.substr(0, kCsvHeader.find(",行"))) + "」で始まっていません。");
      columns = f.size();
      continue;
    }
    if (line.empty()) continue;
    if (f.size() != columns) fail("欄の数が見出しと違います（" + std::to_string(f.size()) + "）。");
    const std::optional<Game> game = GameById(f[0]);
    if (!game) fail("くじ：「" + f[0] + "」はくじの名前ではありません。");
    TicketType type = TicketType::Straight;
    if (IsNumbers(*game)) {
      const std::optional<TicketType> t = TicketTypeByName(f[2]);
      if (!t) fail("申込タイプ：「" + f[2] + "」は申込タイプではありません。");
      type = *t;
    } else if (!f[2].empty()) {
      fail("申込タイプ：" + std::string(ShownName(*game)) + "には申込タイプがありません。");
    }
    const LineReading reading = ReadLine(f[1], *game, type);
    if (!reading.line) fail(reading.fault);
    const std::optional<long> units = WholeNumber(f[3]), first = WholeNumber(f[4]), draws = WholeNumber(f[5]);
    if (!units || *units < 1 || *units > kMaxUnits) fail("口数：1～" + std::to_string(kMaxUnits) + "の数です。");
    if (!first || *first < 1) fail("回号：1以上の数です。");
    if (!draws || *draws < 1 || *draws > kMaxDrawsCovered)
      fail("継続回数：1～" + std::to_string(kMaxDrawsCovered) + "の数です。");
    const std::string letter = columns > 6 ? f[6] : "";
    int lineIndex = 0;
    if (!letter.empty() && letter != "A") {
      if (letter.size() != 1 || letter[0] < 'B' || letter[0] > 'E') fail("行：A～Eです。");
      lineIndex = letter[0] - 'A';
      if (purchases.empty() || static_cast<int>(purchases.back().lines.size()) != lineIndex)
        fail("行：" + letter + " の前の行がありません。");
      const Purchase& slip = purchases.back();
      if (slip.game != *game || slip.units != *units || slip.firstDraw != static_cast<std::uint32_t>(*first) ||
          slip.draws != *draws)
        fail("行：" + letter + " は前の行とくじ・口数・回号・継続回数が同じです。");
    } else {
      Purchase p;
      p.game = *game;
      p.units = static_cast<int>(*units);
      p.firstDraw = static_cast<std::uint32_t>(*first);
      p.draws = static_cast<int>(*draws);
      p.created = columns > 8 && !f[8].empty() ? f[8] : created;
      purchases.push_back(std::move(p));
    }
    Purchase& slip = purchases.back();
    slip.lines.push_back(*reading.line);
    if (columns > 7) {
      std::string_view rest = f[7];
      while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        const std::string item(rest.substr(0, space));
        rest.remove_prefix(space == std::string_view::npos ? rest.size() : space + 1);
        if (item.empty()) continue;
        const std::optional<long> draw = WholeNumber(item);
        if (!draw || !slip.Covers(static_cast<std::uint32_t>(*draw)))
          fail("受取済み：「" + item + "」はこの行の回号ではありません。");
        slip.claimed.push_back({lineIndex, static_cast<std::uint32_t>(*draw)});
      }
    }
    std::sort(slip.claimed.begin(), slip.claimed.end());
  }
  if (lineNo == 0) throw LedgerError("1行目：見出しの行がありません。");
  Transaction t(db_);
  for (const Purchase& p : purchases) Insert(p, false);
  t.Commit();
  return static_cast<int>(purchases.size());
}

}  // namespace numira
