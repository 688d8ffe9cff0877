#include "Purchase.h"

#include <algorithm>
#include <array>

namespace numira {

namespace {
constexpr std::array<const char*, 4> kTypeNames{"ストレート", "ボックス", "セット", "ミニ"};
}

bool Purchase::IsClaimed(int line, std::uint32_t draw) const {
  return std::binary_search(claimed.begin(), claimed.end(), Claim{line, draw});
}

const char* TicketTypeName(TicketType type) { return kTypeNames[static_cast<std::size_t>(type)]; }

std::optional<TicketType> TicketTypeByName(std::string_view name) {
  for (std::size_t i = 0; i < kTypeNames.size(); ++i)
    if (name == kTypeNames[i]) return static_cast<TicketType>(i);
  return std::nullopt;
}

std::string LineLetter(int line) { return std::string(1, static_cast<char>('A' + line)); }

LineReading ReadLine(std::string_view typed, Game game, TicketType type) {
  LineReading out;
  if (!IsNumbers(game)) type = TicketType::Straight;
  if (type == TicketType::Mini && game != Game::Num3) {
    out.fault = "申込タイプ：ミニはナンバーズ３だけです。";
    return out;
  }
  const TicketReading r = ReadTicket(typed, game, type);
  const std::string largest = std::to_string(r.expected);
  switch (r.fault) {
    case TicketFault::None: break;
    case TicketFault::Empty: out.fault = "番号：番号がありません。"; return out;
    case TicketFault::NotANumber: out.fault = "番号：「" + r.item + "」は数字ではありません。"; return out;
    case TicketFault::WrongCount:
      out.fault = IsNumbers(game) ? "番号：" + std::to_string(r.expected) + "桁の数字です（" + std::to_string(r.count) + "桁）。"
                                  : "番号：数字" + std::to_string(r.expected) + "個です（" + std::to_string(r.count) + "個）。";
      return out;
    case TicketFault::OutOfRange: out.fault = "番号：" + r.item + " は1～" + largest + "の範囲にありません。"; return out;
    case TicketFault::Repeated:
      out.fault = RulesOf(game).form == EntryForm::Squares ? "番号：" + r.item + " のマスに数字が2つあります。"
                                                            : "番号：" + r.item + " が2回入っています。";
      return out;
    case TicketFault::OneDigitBox: out.fault = "番号：同じ数字だけの番号はボックス・セットで申し込めません。"; return out;
  }
  PurchaseLine line;
  line.type = type;
  for (std::size_t i = 0; i < r.ticket->numbers.size(); ++i) {
    if (!IsNumbers(game) && i > 0) line.numbers += '.';
    line.numbers += std::to_string(r.ticket->numbers[i]);
  }
  out.line = std::move(line);
  return out;
}

Ticket TicketOf(Game game, const PurchaseLine& line) {
  const TicketReading r = ReadTicket(line.numbers, game, line.type);
  if (r.ticket) return *r.ticket;
  Ticket t;  // a stored line is checked when recorded; a broken one wins nothing
  t.game = game;
  t.type = line.type;
  return t;
}

std::vector<std::string> PurchaseFaults(const Purchase& p) {
  std::vector<std::string> faults;
  if (p.lines.empty() || p.lines.size() > static_cast<std::size_t>(kMaxLines))
    faults.push_back("番号：1～" + std::to_string(kMaxLines) + "行です。");
  for (std::size_t i = 0; i < p.lines.size() && i < static_cast<std::size_t>(kMaxLines); ++i) {
    const LineReading r = ReadLine(p.lines[i].numbers, p.game, p.lines[i].type);
    if (!r.line) faults.push_back(LineLetter(static_cast<int>(i)) + " " + r.fault);
    else if (r.line->numbers != p.lines[i].numbers || r.line->type != p.lines[i].type)
      faults.push_back(LineLetter(static_cast<int>(i)) + " 番号：記録の形ではありません。");
  }
  if (p.units < 1 || p.units > kMaxUnits) faults.push_back("口数：1～" + std::to_string(kMaxUnits) + "です。");
  if (p.firstDraw < 1) faults.push_back("回号：1以上です。");
  if (p.draws < 1 || p.draws > kMaxDrawsCovered)
    faults.push_back("継続回数：1～" + std::to_string(kMaxDrawsCovered) + "です。");
  for (const Claim& c : p.claimed)
    if (c.line < 0 || c.line >= static_cast<int>(p.lines.size()) || !p.Covers(c.draw)) {
      faults.push_back("受取済み：第" + std::to_string(c.draw) + "回はこの記録の回ではありません。");
      break;
    }
  return faults;
}

}  // namespace numira
