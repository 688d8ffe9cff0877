#include "HeadlessCheck.h"

#include "DrawFileNames.h"
#include "DrawSeed.h"
#include "ListServerChoice.h"

namespace numira {

AllGames ReadGameData(const std::string& folder) {
  AllGames data;
  for (Game g : kGames) {
    GameData& d = data[GameIndex(g)];
    if (auto draws = DrawsOfFile(folder + kDrawsFolder + "/" + HistoryFileName(g), g)) d.draws = std::move(*draws);
    if (!HasPrizes(g)) continue;
    if (auto prizes = PrizesOfFile(folder + kPrizesFolder + "/" + PrizeFileName(g), g)) d.prizes = std::move(*prizes);
  }
  return data;
}

CheckFiles UserCheckFiles(const std::string& dataFolder, const std::string& listFolder) {
  // Without a data folder (no home) there is neither.
  if (dataFolder.empty()) return {listFolder, "", ""};
  return {listFolder, dataFolder + "numira.db", dataFolder + kNoticeStateFile};
}

std::optional<std::array<std::uint32_t, 6>> NoticedDraws(const std::string& statePath) {
  const ConfigSetting s = ReadConfigSetting(statePath, kNoticedDrawsKey);
  if (!s.value) return std::nullopt;
  std::array<std::uint32_t, 6> out{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t end = i + 1 < out.size() ? s.value->find(',', at) : s.value->size();
    if (end == std::string::npos) return std::nullopt;
    const std::string n = s.value->substr(at, end - at);
    if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    out[i] = static_cast<std::uint32_t>(std::stoul(n));
    at = end + 1;
  }
  return out;
}

bool ConfigSwitchOn(const std::string& configFile, const char* key) {
  if (configFile.empty()) return false;
  const ConfigSetting s = ReadConfigSetting(configFile, key);
  return s.value && *s.value == "on";
}

}  // namespace numira
