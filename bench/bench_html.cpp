// Tokenising and building a 2 MB help-like page (headings, paragraphs with styles, entities,
// links, lists and tables) against libxml2's HTML parser building its tree from the same
// bytes; and laying out a 1 MB text page at 779 pixels against summing the cached advances of
// the same text (the least any line breaker must do). Prints both ratios.
#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <string>

#include "bench/BenchRatio.h"
#include "html/HtmlParser.h"

namespace {

const std::string& Page() {
  static const std::string page = [] {
    std::string s = "<html><head><title>Rules</title></head><body bgcolor=\"#003000\" text=white>\n";
    for (int i = 0; s.size() < 2'000'000; ++i) {
      s += "<h2>Section " + std::to_string(i) + "</h2>\n<p align=justify>The <b>dealer</b> shuffles &amp; deals five "
           "cards; you may <i>hold</i> any of them &mdash; then draw.&nbsp;A <a href=\"page" + std::to_string(i) +
           ".html\">pay table</a> shows what each hand pays &copy; 2004.</p>\n"
           "<ul><li>Royal flush<li>Straight flush<li>Four of a kind</ul>\n"
           "<table border=1 cellpadding=2 width=\"80%\"><tr><th>Hand<th>Pays</tr>"
           "<tr><td>Full house</td><td align=right>9</td></tr><tr><td>Flush</td><td align=right>6</td></tr></table>\n";
    }
    return s + "</body></html>\n";
  }();
  return page;
}

void BM_OurParser(benchmark::State& state) {
  const std::string& page = Page();
  ThvParser parser;
  for (auto _ : state) {
    TSectionList doc;
    parser.HtmlParseString(page, doc);
    benchmark::DoNotOptimize(doc.Sections.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void BM_Libxml2HtmlParser(benchmark::State& state) {
  const std::string& page = Page();
  for (auto _ : state) {
    htmlDocPtr doc = htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "windows-1252",
                                   HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

// About 1 MB of paragraphs of words, with some bold and links.
const std::string& TextPage() {
  static const std::string page = [] {
    static const char* const kWords[] = {"the", "dealer", "shuffles", "and", "deals", "five", "cards", "you",
                                         "may", "hold", "any", "of", "them", "then", "draw", "pays"};
    std::string s;
    uint32_t seed = 7;
    while (s.size() < 1'000'000) {
      s += "<p>";
      for (int w = 0; w < 120; ++w) {
        seed = seed * 1103515245u + 12345u;
        const char* word = kWords[(seed >> 16) % 16];
        if (w % 37 == 5) s += std::string("<b>") + word + "</b> ";
        else if (w % 53 == 9) s += std::string("<a href=\"x.html\">") + word + "</a> ";
        else s += std::string(word) + " ";
      }
      s += "</p>\n";
    }
    return s;
  }();
  return page;
}

void BM_Layout779(benchmark::State& state) {
  TSectionList doc;
  ThvParser parser;
  parser.HtmlParseString(TextPage(), doc);
  doc.DoLogic(0, 779);  // fonts and faces warmed up
  for (auto _ : state) benchmark::DoNotOptimize(doc.DoLogic(0, 779));
}

void BM_SumAdvances(benchmark::State& state) {
  TSectionList doc;
  ThvParser parser;
  parser.HtmlParseString(TextPage(), doc);
  doc.DoLogic(0, 779);
  for (auto _ : state) {
    int64_t sum = 0;
    for (const auto& s : doc.Sections)
      if (const auto* t = dynamic_cast<const TSection*>(s.get()))
        for (size_t f = 0; f < t->Fonts.size(); ++f) {
          const size_t end = f + 1 < t->Fonts.size() ? static_cast<size_t>(t->Fonts[f + 1].Pos) : t->Text.size();
          const vx::TextFont& face = *t->Fonts[f].Face;
          for (size_t i = static_cast<size_t>(t->Fonts[f].Pos); i < end; ++i) sum += face.Advance(static_cast<uint8_t>(t->Text[i]));
        }
    benchmark::DoNotOptimize(sum);
  }
}

BENCHMARK(BM_OurParser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Layout779)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumAdvances)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2HtmlParser)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  std::printf("\nHTML page of %.1f MB, ours / libxml2:\n", static_cast<double>(Page().size()) / 1e6);
  reporter.Ratio("tokenise and build", "BM_OurParser", "BM_Libxml2HtmlParser");
  std::printf("text page of %.1f MB laid out at 779 pixels, ours / summing cached advances:\n",
              static_cast<double>(TextPage().size()) / 1e6);
  reporter.Ratio("layout", "BM_Layout779", "BM_SumAdvances");
  benchmark::Shutdown();
  return 0;
}
