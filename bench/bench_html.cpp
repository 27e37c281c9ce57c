// Tokenising and building a 2 MB help-like page (headings, paragraphs with styles, entities,
// links, lists and tables) against libxml2's HTML parser building its tree from the same
// bytes. Prints the ratio ours / libxml2.
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

BENCHMARK(BM_OurParser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2HtmlParser)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nHTML page of %.1f MB, ours / libxml2:\n", static_cast<double>(Page().size()) / 1e6);
  reporter.Ratio("tokenise and build", "BM_OurParser", "BM_Libxml2HtmlParser");
  benchmark::Shutdown();
  return 0;
}
