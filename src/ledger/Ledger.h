#pragma once
// The player's purchases in an SQLite file (by default ~/.local/share/numira/numira.db;
// the caller names it). Every change is one transaction; the journal is a write-ahead
// log and a busy timeout lets two windows write the same file in turn. A file that is not
// a sound database of this program, or one from a newer version, is refused and left as
// it is: nothing here ever overwrites or deletes an existing file.
//
// Schema version 1 (PRAGMA user_version):
//   purchases(id, game, units, first_draw, draws, created)
//   lines(purchase, line 0..4, numbers, type)        -- a slip's lines A–E
//   claims(purchase, line, draw)                     -- wins marked 受取済み
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Purchase.h"

namespace numira {

// The schema version this program writes.
inline constexpr int kLedgerVersion = 1;

// A change refused or failed, in words for the player.
class LedgerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The purchases' file, as the program sees it. The SQLite file behind it (Ledger::Open,
// in numira_ledger_file) is linked by the headless check and the tests; the window loads
// it from numira-ledger.so when 購入記録 is first needed (LedgerModule.h), so that its
// start loads no SQLite.
class Ledger {
 public:
  struct Opening {
    std::unique_ptr<Ledger> ledger;  // null when the file cannot be used
    std::string error;               // what is wrong and where the file is
  };
  // Opens the file, creating it (and its folder) when there is none; an older schema is
  // migrated forward in one transaction.
  static Opening Open(const std::string& path);

  virtual ~Ledger() = default;
  Ledger(const Ledger&) = delete;
  Ledger& operator=(const Ledger&) = delete;

  virtual const std::string& Path() const = 0;

  // Records a purchase (id and claims as given are ignored / kept); returns its id.
  // Throws LedgerError with PurchaseFaults' words for a purchase that cannot be recorded.
  virtual std::int64_t Add(const Purchase& purchase) = 0;
  // Every purchase, oldest first.
  virtual std::vector<Purchase> Purchases() const = 0;
  // Removes a purchase; returns it as it was, for Restore. nullopt when there is none.
  virtual std::optional<Purchase> Remove(std::int64_t id) = 0;
  // Puts a removed purchase back under its id (undoing Remove).
  virtual void Restore(const Purchase& purchase) = 0;
  // Marks a line's win in a draw as received, or not.
  virtual void SetClaimed(std::int64_t id, int line, std::uint32_t draw, bool claimed) = 0;

  // The purchases as CSV (UTF-8, LF): the header line kCsvHeader, one row per line of a
  // slip; a slip's lines B–E follow its line A.
  virtual std::string ExportCsv() const = 0;
  // Adds the purchases of a CSV text all at once, or none: throws LedgerError naming the
  // line of the first fault ("3行目：口数：…"). `created` stands for rows without 記録日時.
  // Returns how many purchases were added.
  virtual int ImportCsv(std::string_view text, const std::string& created) = 0;

 protected:
  Ledger() = default;
};

// Opens the purchases' file at a path (Ledger::Open, or the same from the loaded module).
using LedgerOpener = std::function<Ledger::Opening(const std::string& path)>;

inline constexpr std::string_view kCsvHeader = "くじ,番号,申込タイプ,口数,回号,継続回数,行,受取済み,記録日時";

}  // namespace numira
