#include "tools/analyser/ReturnAnalyser.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <stdexcept>

#include "core/StrUtils.h"
#include "games/GameManager.h"
#include "games/HandEvaluator.h"
#include "games/PokerVariants.h"

using namespace vx;

namespace vxtools {

namespace {

__extension__ typedef __int128 int128;

const std::pair<const char*, int32_t> ShortKeys[] = {
    {"5K", hcFiveOfAKind}, {"5KD", hcFiveOfAKindD}, {"RF", hcRoyalFlush}, {"RFN", hcRoyalFlushN},
    {"SF", hcStreetFlush}, {"4K", hcPoker},         {"4KD", hcPokerD},     {"4KA", hcPokerAces},
    {"4KJQK", hcPokerJQK}, {"4K2-10", hcPoker2To10}, {"FH", hcFullHouse},  {"FL", hcFlush},
    {"ST", hcStreet},      {"3K", hcThreeOfAKind},  {"2P", hcTwoPairs},    {"HP", hcHighPair},
    {"3XO", hc3XOrvanta}};

int32_t CodeOfName(std::string_view name) {
  for (const auto& k : ShortKeys)
    if (SameText(name, k.first)) return k.second;
  const int32_t code = HandCodeOfKey(UpperCase(name));
  return code > hcNothing ? code : hcUnknown;
}

// Binomial coefficients C(n, k) for n <= 54, k <= 5.
struct TBinomial {
  int64_t C[55][6] = {};
  TBinomial() {
    for (int n = 0; n <= 54; ++n) {
      C[n][0] = 1;
      for (int k = 1; k <= 5; ++k) C[n][k] = n == 0 ? 0 : C[n - 1][k - 1] + C[n - 1][k];
    }
  }
};

// Colex ranks of all 32 subsets of one sorted five-card set (positions in the deck).
inline void SubsetRanks(const TBinomial& b, const int* pos, int64_t* rank) {
  rank[0] = 0;
  for (int mask = 1; mask < 32; ++mask) {
    const int top = 31 - __builtin_clz(static_cast<unsigned>(mask));
    rank[mask] = rank[mask ^ (1 << top)] + b.C[pos[top]][__builtin_popcount(static_cast<unsigned>(mask))];
  }
}

template <typename F>
void ForEachFive(int n, F&& f) {
  int p[5];
  for (p[0] = 0; p[0] < n; ++p[0])
    for (p[1] = p[0] + 1; p[1] < n; ++p[1])
      for (p[2] = p[1] + 1; p[2] < n; ++p[2])
        for (p[3] = p[2] + 1; p[3] < n; ++p[3])
          for (p[4] = p[3] + 1; p[4] < n; ++p[4]) f(p);
}

}  // namespace

std::vector<int32_t> StandardDeck(int size) {
  std::vector<int32_t> deck;
  for (int32_t n = 1; n <= size && n <= 54; ++n) deck.push_back(n);
  return deck;
}

TAnalyserConfig ConfigForGame(const TGameInfo& info, const TPokerVariant& variant, int32_t orvantaNumber) {
  TAnalyserConfig c;
  c.Name = info.Title + " (" + info.IDStr + ", game " + std::to_string(info.ID) + ")";
  for (int32_t n = 1; n <= 54; ++n)
    if (variant.DealsCard(n)) c.Deck.push_back(n);
  c.DeucesWild = variant.DeucesWild();
  c.DrawCostsBet = variant.DrawCostsBet();
  c.OrvantaNumber = orvantaNumber;
  for (int i = 0; i < info.Hands().Count(); ++i) {
    const TGameHand* h = info.Hands().Items(i);
    if (h->OrderCode < 0 || c.Table & HandCodeBit(h->OrderCode)) continue;  // first row wins
    c.Pay[static_cast<size_t>(h->OrderCode)] = std::max(0, h->Value);
    c.Table |= HandCodeBit(h->OrderCode);
  }
  return c;
}

bool ParsePayTable(std::string_view text, TAnalyserConfig& config, std::string& error) {
  std::array<int32_t, MaxHandCode + 1> pay{};
  THandCodeSet table = 0;
  size_t pos = 0;
  auto isSep = [](char ch) { return ch == ',' || ch == ';' || static_cast<unsigned char>(ch) <= ' '; };
  while (pos < text.size()) {
    while (pos < text.size() && isSep(text[pos])) ++pos;
    if (pos >= text.size()) break;
    size_t end = pos;
    while (end < text.size() && !isSep(text[end])) ++end;
    const std::string_view item = text.substr(pos, end - pos);
    pos = end;
    const size_t eq = item.find('=');
    if (eq == std::string_view::npos) {
      error = "pay item without '=': " + std::string(item);
      return false;
    }
    const int32_t code = CodeOfName(item.substr(0, eq));
    if (code < 0) {
      error = "unknown hand: " + std::string(item.substr(0, eq));
      return false;
    }
    const auto value = TryStrToInt(item.substr(eq + 1));
    if (!value || *value < 0 || *value > 1000000) {
      error = "bad multiplier for " + HandKeyOfCode(code) + ": " + std::string(item.substr(eq + 1));
      return false;
    }
    if (table & HandCodeBit(code)) {
      error = "hand given twice: " + HandKeyOfCode(code);
      return false;
    }
    pay[static_cast<size_t>(code)] = *value;
    table |= HandCodeBit(code);
  }
  if (table == 0) {
    error = "empty pay table";
    return false;
  }
  config.Pay = pay;
  config.Table = table;
  return true;
}

TAnalysisResult AnalyseReturn(const TAnalyserConfig& config) {
  const int n = static_cast<int>(config.Deck.size());
  if (n < 10 || n > 54) throw std::invalid_argument("the deck must hold 10 to 54 cards");
  {
    std::vector<int32_t> sorted = config.Deck;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.front() < 1 || sorted.back() > 54 || std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
      throw std::invalid_argument("the deck must hold distinct card numbers 1..54");
  }
  static const TBinomial bin;

  // Dense indices for the codes that can occur, so the count vectors stay short.
  std::array<int, MaxHandCode + 1> dense{};
  dense.fill(-1);
  std::vector<int32_t> codes;
  std::vector<int64_t> payOfDense;

  const int64_t hands5 = bin.C[n][5];
  std::vector<uint8_t> code5(static_cast<size_t>(hands5));
  ForEachFive(n, [&](const int* p) {
    int32_t cards[5];
    for (int i = 0; i < 5; ++i) cards[i] = config.Deck[static_cast<size_t>(p[i])];
    THandEvaluation e;
    const int32_t code = EvaluateCardsCode(config.Table, cards, config.DeucesWild, config.OrvantaNumber, e);
    int64_t rank = 0;
    for (int i = 0; i < 5; ++i) rank += bin.C[p[i]][i + 1];
    if (dense[static_cast<size_t>(code)] < 0) {
      dense[static_cast<size_t>(code)] = static_cast<int>(codes.size());
      codes.push_back(code);
      const bool paid = (config.Table & HandCodeBit(code)) != 0;
      payOfDense.push_back(paid ? config.Pay[static_cast<size_t>(code)] : 0);
    }
    code5[static_cast<size_t>(rank)] = static_cast<uint8_t>(dense[static_cast<size_t>(code)]);
  });
  const size_t K = codes.size();

  // Pay sums and hand counts over the five-card hands containing each smaller subset.
  std::vector<int64_t> paySum[5];
  std::vector<uint32_t> handCount[5];
  for (int k = 0; k < 5; ++k) {
    paySum[k].assign(static_cast<size_t>(bin.C[n][k]), 0);
    handCount[k].assign(static_cast<size_t>(bin.C[n][k]) * K, 0);
  }
  ForEachFive(n, [&](const int* p) {
    int64_t rank[32];
    SubsetRanks(bin, p, rank);
    const size_t ci = code5[static_cast<size_t>(rank[31])];
    const int64_t pay = payOfDense[ci];
    for (int mask = 0; mask < 31; ++mask) {
      const int k = __builtin_popcount(static_cast<unsigned>(mask));
      paySum[k][static_cast<size_t>(rank[mask])] += pay;
      ++handCount[k][static_cast<size_t>(rank[mask]) * K + ci];
    }
  });

  // Hands that hold k given cards and none of the other dealt cards: C(n-5, 5-k).
  int64_t draws[6];
  for (int k = 0; k <= 5; ++k) draws[k] = bin.C[n - 5][5 - k];
  int128 scale = 1;  // common denominator of every hold's expectation
  for (int k = 0; k <= 5; ++k) {
    const int128 g = std::gcd(static_cast<int64_t>(scale % draws[k]), draws[k]);
    scale = scale / g * draws[k];
  }
  int128 scaleOver[6];
  for (int k = 0; k <= 5; ++k) scaleOver[k] = scale / draws[k];

  int128 totalPaid = 0, totalWagered = 0;
  uint64_t drawsTaken = 0;
  std::vector<int128> freq(K, 0);
  std::vector<int64_t> dist(K);

  ForEachFive(n, [&](const int* p) {
    int64_t rank[32];
    SubsetRanks(bin, p, rank);
    int64_t f[32];
    for (int mask = 0; mask < 31; ++mask)
      f[mask] = paySum[__builtin_popcount(static_cast<unsigned>(mask))][static_cast<size_t>(rank[mask])];
    const size_t dealtCode = code5[static_cast<size_t>(rank[31])];
    f[31] = payOfDense[dealtCode];
    // Alternating sums over supersets: what a hold pays over all draws that avoid the
    // discarded cards.
    for (int bit = 1; bit < 32; bit <<= 1)
      for (int mask = 0; mask < 32; ++mask)
        if (!(mask & bit)) f[mask] -= f[mask | bit];

    // The best hold: the highest expected net, compared exactly by cross-multiplication.
    int best = 31;
    int64_t bestNum = f[31], bestDen = 1;
    for (int mask = 30; mask >= 0; --mask) {
      const int k = __builtin_popcount(static_cast<unsigned>(mask));
      int64_t num = f[mask];
      if (config.DrawCostsBet) {
        if (k == 0) continue;  // nothing held: the hand is kept (a win) or dropped (a loss)
        num -= draws[k];
      }
      if (static_cast<int128>(num) * bestDen > static_cast<int128>(bestNum) * draws[k]) {
        best = mask;
        bestNum = num;
        bestDen = draws[k];
      }
    }
    const int k = __builtin_popcount(static_cast<unsigned>(best));
    const bool costed = config.DrawCostsBet && k < 5;
    totalPaid += static_cast<int128>(f[best]) * scaleOver[k];
    totalWagered += scale * (costed ? 2 : 1);
    drawsTaken += costed ? 1 : 0;

    // Final-hand distribution of the chosen hold, by the same alternating sum.
    std::fill(dist.begin(), dist.end(), 0);
    const int free = 31 & ~best;
    for (int sub = free;; sub = (sub - 1) & free) {
      const int mask = best | sub;
      const int sign = (__builtin_popcount(static_cast<unsigned>(sub)) & 1) ? -1 : 1;
      if (mask == 31) {
        dist[dealtCode] += sign;
      } else {
        const int km = __builtin_popcount(static_cast<unsigned>(mask));
        const uint32_t* counts = &handCount[km][static_cast<size_t>(rank[mask]) * K];
        for (size_t c = 0; c < K; ++c) dist[c] += sign * static_cast<int64_t>(counts[c]);
      }
      if (sub == 0) break;
    }
    for (size_t c = 0; c < K; ++c) freq[c] += static_cast<int128>(dist[c]) * scaleOver[k];
  });

  TAnalysisResult r;
  r.Deals = static_cast<uint64_t>(hands5);
  const long double denom = static_cast<long double>(scale) * static_cast<long double>(hands5);
  r.Paid = static_cast<double>(static_cast<long double>(totalPaid) / denom);
  r.Wagered = static_cast<double>(static_cast<long double>(totalWagered) / denom);
  r.Return = static_cast<double>(static_cast<long double>(totalPaid) / static_cast<long double>(totalWagered));
  r.DrawShare = static_cast<double>(drawsTaken) / static_cast<double>(hands5);
  for (size_t c = 0; c < K; ++c)
    r.Frequency[static_cast<size_t>(codes[c])] = static_cast<double>(static_cast<long double>(freq[c]) / denom);
  return r;
}

std::string FormatReport(const TAnalyserConfig& config, const TAnalysisResult& result) {
  std::string out;
  char line[256];
  int jokers = 0;
  for (int32_t c : config.Deck) jokers += c > 52;
  std::snprintf(line, sizeof line, "%s\n  %zu cards (%d joker%s), deuces %s, Orvanta number %d, draw %s\n",
                config.Name.empty() ? "pay table" : config.Name.c_str(), config.Deck.size(), jokers,
                jokers == 1 ? "" : "s", config.DeucesWild ? "wild" : "not wild", config.OrvantaNumber,
                config.DrawCostsBet ? "costs a second bet" : "free");
  out += line;
  std::snprintf(line, sizeof line, "  return %.4f%% under optimal holds, every win collected\n", 100.0 * result.Return);
  out += line;
  if (config.DrawCostsBet) {
    std::snprintf(line, sizeof line, "  per round: pays %.6f, wagers %.6f bets (second bet on %.2f%% of deals)\n",
                  result.Paid, result.Wagered, 100.0 * result.DrawShare);
    out += line;
  }
  std::snprintf(line, sizeof line, "  %-20s %8s %14s %12s\n", "hand", "pays", "probability", "return");
  out += line;
  for (int32_t code : AllHandCodes) {
    const double p = result.Frequency[static_cast<size_t>(code)];
    const bool held = (config.Table & HandCodeBit(code)) != 0;
    if (!held && p == 0) continue;
    const int32_t pay = held ? config.Pay[static_cast<size_t>(code)] : 0;
    std::snprintf(line, sizeof line, "  %-20s %8d %14.10f %11.6f%%\n", HandKeyOfCode(code).c_str(), pay, p,
                  result.Wagered > 0 ? 100.0 * p * pay / result.Wagered : 0.0);
    out += line;
  }
  return out;
}

}  // namespace vxtools
