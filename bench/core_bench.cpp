// The core's steps against what they need at least: generating the page
// against assembling its bytes from their pieces, saving it against one
// plain write, and reading a page back against copying a description and
// generating its page.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/goal_table.h"
#include "bench/sample_page.h"
#include "bench/scratch_dir.h"
#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "core/page_reader.h"
#include "core/site_navigation.h"

namespace {

using Clock = std::chrono::steady_clock;

const core::TPageDescription& PageWith(std::size_t entries) {
    static std::map<std::size_t, core::TPageDescription> pages;
    const auto found = pages.find(entries);
    if (found != pages.end()) return found->second;
    return pages.emplace(entries, bench::SamplePage(entries)).first->second;
}

// The floor copies the lines' own bytes only: the CR LF after each line,
// which the generator writes as well, count against it.
std::size_t OutputBytes(const core::TLineList& lines) {
    std::size_t bytes = 0;
    for (const std::string_view line : lines) bytes += line.size();
    return bytes;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Only the call is timed; dropping the lines belongs to the caller.
void BM_Generate(benchmark::State& state) {
    const core::TPageDescription& page = PageWith(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        core::TLineList lines = core::GeneratePage(page);
        state.SetIterationTime(Seconds(start));
        benchmark::DoNotOptimize(lines.size());
    }
}

// Reading proves itself by generating the page again, so generating is its
// floor. Only the call is timed, as above.
void BM_Read(benchmark::State& state) {
    const std::string bytes(core::GeneratePage(PageWith(static_cast<std::size_t>(state.range(0)))).FileBytes());
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::optional<core::TPageDescription> page = core::ReadPage(bytes);
        state.SetIterationTime(Seconds(start));
        if (!page) {
            state.SkipWithError("the page was not read back");
            break;
        }
        benchmark::DoNotOptimize(page->Links.data());
    }
}

// What a reader must spend at least besides generating: a description of
// its own, that is a copy of every text. Dropping the copy is not timed.
void BM_DescriptionCopy(benchmark::State& state) {
    const core::TPageDescription& page = PageWith(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        core::TPageDescription copy = page;
        state.SetIterationTime(Seconds(start));
        benchmark::DoNotOptimize(copy.Links.data());
    }
}

// What reading must do at least: a description of its own (a copy of every
// text) and the page generated again to prove it. Dropping both is not
// timed.
void BM_CopyAndGenerate(benchmark::State& state) {
    const core::TPageDescription& page = PageWith(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        core::TPageDescription copy = page;
        core::TLineList lines = core::GeneratePage(copy);
        state.SetIterationTime(Seconds(start));
        benchmark::DoNotOptimize(copy.Links.data());
        benchmark::DoNotOptimize(lines.size());
    }
}

char* Put(char* at, std::string_view piece) {
    std::memcpy(at, piece.data(), piece.size());
    return at + piece.size();
}

// The sample page from its pieces, in order: the template's fixed parts and
// the description's texts, each copied once. The sample has no style sheet,
// link background or dots, and one break before each image; `numbers` are
// its margins, corner height and row span as text.
char* Assemble(const core::TPageDescription& page, const std::vector<std::string>& numbers, char* at) {
    for (const std::string_view piece :
         {std::string_view("<html>\r\n<head><title>"),
          std::string_view(page.Title),
          std::string_view("</title>\r\n</head>\r\n<body background=\""),
          std::string_view(page.BackgroundImage),
          std::string_view("\" topmargin=\""),
          std::string_view(numbers[0]),
          std::string_view("\" leftmargin=\""),
          std::string_view(numbers[1]),
          std::string_view("\">\r\n<table cellspacing=\"0\" cellpadding=\"0\">\r\n<tr>\r\n<th height=\""),
          std::string_view(numbers[2]),
          std::string_view("\">\r\n</th>\r\n<td><b>\r\n<font size=\""),
          core::HeadingFontSize(page.HeadingSizeIndex),
          std::string_view("\" color=\""),
          std::string_view(page.HeadingColor),
          std::string_view("\" face=\""),
          std::string_view(page.HeadingFace),
          std::string_view("\">"),
          std::string_view(page.HeadingText),
          std::string_view("</font></b>\r\n<img src=\""),
          std::string_view(page.HeadingImage),
          std::string_view("\" align=\"middle\">\r\n</td>\r\n</tr>\r\n")})
        at = Put(at, piece);
    const auto link = [&at](const core::TLinkEntry& entry) {
        at = Put(at, "<tr>\r\n<td><a href=\"");
        at = Put(at, entry.Target);
        at = Put(at, "\">");
        at = Put(at, entry.Text);
        at = Put(at, "</a></td>\r\n");
    };
    link(page.Links.front());
    at = Put(at, "<td valign=\"top\" rowspan=\"");
    at = Put(at, numbers[3]);
    at = Put(at, "\">\r\n<font color=\"");
    at = Put(at, page.TextColor);
    at = Put(at, "\" face=\"");
    at = Put(at, page.TextFace);
    at = Put(at, "\">\r\n");
    for (const std::string& line : page.TextLines) {
        at = Put(at, line);
        at = Put(at, "\r\n");
    }
    at = Put(at, "</tr>\r\n");
    for (std::size_t i = 1; i < page.Links.size(); ++i) {
        link(page.Links[i]);
        at = Put(at, "</tr>\r\n");
    }
    at = Put(at, "<tr>\r\n<th>\r\n");
    for (const core::TImageEntry& image : page.Images) {
        at = Put(at, "<br>\r\n<img src=\"");
        at = Put(at, image.FileName);
        at = Put(at, "\">");
        at = Put(at, image.Caption);
        at = Put(at, "\r\n");
    }
    return Put(at, "</th>\r\n</tr>\r\n</table>\r\n</body>\r\n</html>\r\n");
}

// The generator's floor: the same bytes assembled into one buffer allocated
// and touched beforehand. Only the assembling is timed.
void BM_AssembleFloor(benchmark::State& state) {
    const core::TPageDescription& page = PageWith(static_cast<std::size_t>(state.range(0)));
    const std::vector<std::string> numbers = {std::to_string(page.MarginTop), std::to_string(page.MarginLeft),
                                              std::to_string(page.CornerHeight), std::to_string(page.Links.size() + 1)};
    const std::string expected(core::GeneratePage(page).FileBytes());
    std::string buffer(expected.size(), 'x');
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        char* const end = Assemble(page, numbers, buffer.data());
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
        state.SetIterationTime(Seconds(start));
    }
    if (buffer != expected) state.SkipWithError("the pieces do not make the page");
}

void BM_CopyFloor(benchmark::State& state) {
    const std::size_t bytes = OutputBytes(core::GeneratePage(PageWith(static_cast<std::size_t>(state.range(0)))));
    // Both buffers touched beforehand: the floor pays no page faults.
    std::vector<char> source(bytes + 1, 'x');
    std::vector<char> target(bytes + 1, 'y');
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(Seconds(start));
    }
}

// What the result type costs by itself: the same lines, copied, that is its
// buffer and its line starts.
void BM_LineListCopy(benchmark::State& state) {
    const core::TLineList lines = core::GeneratePage(PageWith(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        core::TLineList copy = lines;
        benchmark::DoNotOptimize(copy.FileBytes().data());
        state.SetIterationTime(Seconds(start));
    }
}

// Finishing again replaces the page of the previous iteration.
void BM_Save(benchmark::State& state) {
    const core::TLineList lines = core::GeneratePage(PageWith(static_cast<std::size_t>(state.range(0))));
    const std::string fileName = bench::ScratchDirectory() + "/saved.html";
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        core::SavePageLines(fileName, lines);
        state.SetIterationTime(Seconds(start));
    }
    unlink(fileName.c_str());
}

void BM_WriteFloor(benchmark::State& state) {
    const std::string text(core::GeneratePage(PageWith(static_cast<std::size_t>(state.range(0)))).FileBytes());
    const std::string fileName = bench::ScratchDirectory() + "/plain.html";
    for (auto _ : state) {
        unlink(fileName.c_str());
        const Clock::time_point start = Clock::now();
        const int fd = open(fileName.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) || fsync(fd) != 0) {
            state.SkipWithError("plain write failed");
            if (fd >= 0) close(fd);
            break;
        }
        close(fd);
        state.SetIterationTime(Seconds(start));
    }
    unlink(fileName.c_str());
}

// Whether a file named like the page is one of the program's pages: a large
// foreign file (a video under index.html) costs no more than a small one.
// Sparse, so that the gibibyte costs no disk.
void BM_RefuseForeign(benchmark::State& state) {
    const std::string fileName = bench::ScratchDirectory() + "/foreign-" + std::to_string(state.range(0)) + ".html";
    const int fd = open(fileName.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(state.range(0))) != 0) {
        state.SkipWithError("no foreign file");
        if (fd >= 0) close(fd);
        return;
    }
    close(fd);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(core::ReadPage(core::ReadPossiblePage(fileName)));
        state.SetIterationTime(Seconds(start));
    }
    unlink(fileName.c_str());
}

// A site of `pages` pages beside index.html, all with the same ten links,
// in a folder of its own; made once.
const std::vector<std::string>& SitePages(const std::string& folder, std::size_t pages) {
    static std::map<std::string, std::vector<std::string>> sites;
    if (const auto found = sites.find(folder); found != sites.end()) return found->second;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    core::TPageDescription page = bench::SamplePage(10);
    core::SavePageLines(folder + "/index.html", core::GeneratePage(page));
    std::vector<std::string> names;
    for (std::size_t i = 0; i < pages; ++i) {
        names.push_back("seite" + std::to_string(i) + ".html");
        page.Title = page.HeadingText = bench::SampleText("Seite", i);
        core::SavePageLines(folder + "/" + names.back(), core::GeneratePage(page));
    }
    return sites.emplace(folder, std::move(names)).first->second;
}

std::vector<core::TLinkEntry> SiteLinks(bool added) {
    std::vector<core::TLinkEntry> links = bench::SamplePage(10).Links;
    if (added) links.push_back({"Neu", "neu.html"});
    return links;
}

void CarryLinks(const std::string& folder, bool add) {
    const core::TPageFolder pages(folder);
    const core::TSiteNavigation site =
        core::FindSiteNavigation(core::ReadSiteFiles(pages, "index.html"), SiteLinks(!add), SiteLinks(add));
    benchmark::DoNotOptimize(core::RewriteSiteNavigation(pages, site.Pages).Changed.size());
}

// Each iteration adds the link; taking it away again is not timed.
void BM_SiteLinks(benchmark::State& state) {
    const std::string folder = bench::ScratchDirectory() + "/site";
    SitePages(folder, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        CarryLinks(folder, true);
        state.SetIterationTime(Seconds(start));
        CarryLinks(folder, false);
    }
}

// The same pages, their names known beforehand, each read, given the list,
// generated and saved the safe way.
void GiveLinks(const std::string& folder, const std::vector<std::string>& names, bool add) {
    for (const std::string& name : names) {
        const std::filesystem::path path = folder + "/" + name;
        std::optional<core::TPageDescription> page = core::ReadPage(core::ReadPossiblePage(path));
        page->Links = SiteLinks(add);
        core::SavePageLines(path.string(), core::GeneratePage(*page));
    }
}

void BM_SiteLinksFloor(benchmark::State& state) {
    const std::string folder = bench::ScratchDirectory() + "/site-floor";
    const std::vector<std::string>& names = SitePages(folder, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        GiveLinks(folder, names, true);
        state.SetIterationTime(Seconds(start));
        GiveLinks(folder, names, false);
    }
}

constexpr std::int64_t kSizes[] = {0, 1000, 10000, 100000};

void Sizes(benchmark::internal::Benchmark* bench) {
    for (const std::int64_t size : kSizes) bench->Arg(size);
}

BENCHMARK(BM_Generate)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyFloor)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AssembleFloor)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Read)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyAndGenerate)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DescriptionCopy)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefuseForeign)->Arg(1 << 10)->Arg(1 << 30)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineListCopy)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
// A flush to disk now and then waits for other processes' writes; many short
// repetitions let the best of them show what the save itself costs.
void FlushedWrites(benchmark::internal::Benchmark* bench) {
    bench->Arg(100000)->Iterations(4)->Repetitions(12)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Save)->Apply(FlushedWrites);
// A thousand flushes an iteration: a few repetitions suffice.
BENCHMARK(BM_SiteLinks)->Arg(1000)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteLinksFloor)->Arg(1000)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFloor)->Apply(FlushedWrites);

}  // namespace

int main(int argc, char** argv) {
    // Freed memory stays in the process and large blocks come from the heap:
    // otherwise whether an iteration pays page faults for fresh memory
    // depends on the order the benchmarks happened to run in. Warm memory
    // is also what the floor's preallocated buffer gets.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    using bench::TGoalRow;
    return bench::RunWithGoals(
        argc, argv,
        {
            TGoalRow{"GeneratePage, 0 entries vs memcpy", "BM_Generate/0", "BM_CopyFloor/0"},
            TGoalRow{"GeneratePage, 1,000 entries vs memcpy", "BM_Generate/1000", "BM_CopyFloor/1000"},
            TGoalRow{"GeneratePage, 10,000 entries vs memcpy", "BM_Generate/10000", "BM_CopyFloor/10000"},
            // Memory-bound, and so it swings between machines: shown only.
            TGoalRow{"GeneratePage, 100,000 entries vs memcpy", "BM_Generate/100000", "BM_CopyFloor/100000"},
            TGoalRow{"GeneratePage, 100,000 vs assembling the same bytes from their pieces", "BM_Generate/100000",
                     "BM_AssembleFloor/100000", 2.0},
            // Linear: from cache to memory, no worse than copying the bytes.
            TGoalRow{"GeneratePage/memcpy, 100,000 vs 10,000", "BM_Generate/100000", "BM_CopyFloor/100000", 1.0,
                     bench::TQuantity::Time, "BM_Generate/10000", "BM_CopyFloor/10000"},
            // The machine's own step from cache to memory, for comparison.
            TGoalRow{"memcpy, 100,000 vs 10,000 entries' bytes", "BM_CopyFloor/100000", "BM_CopyFloor/10000"},
            TGoalRow{"copying a 100,000-entry TLineList vs memcpy", "BM_LineListCopy/100000", "BM_CopyFloor/100000"},
            TGoalRow{"copying a TLineList, 100,000 vs 10,000 entries", "BM_LineListCopy/100000",
                     "BM_LineListCopy/10000"},
            TGoalRow{"ReadPage, 100,000 entries vs GeneratePage", "BM_Read/100000", "BM_Generate/100000"},
            TGoalRow{"ReadPage, 100,000 vs TPageDescription copy + GeneratePage", "BM_Read/100000",
                     "BM_CopyAndGenerate/100000", 2.0},
            TGoalRow{"TPageDescription copy, 100,000 vs GeneratePage", "BM_DescriptionCopy/100000",
                     "BM_Generate/100000"},
            TGoalRow{"SavePageLines, 100,000 vs write+fsync", "BM_Save/100000", "BM_WriteFloor/100000", 1.3},
            TGoalRow{"ReadPageFile+ReadPage refusing a 1 GiB foreign file vs refusing a 1 KiB one",
                     "BM_RefuseForeign/1073741824", "BM_RefuseForeign/1024", 2.0},
            TGoalRow{"navigation on 1,000 pages, one link added, vs reading, generating and saving the same pages "
                     "with the core's own functions",
                     "BM_SiteLinks/1000", "BM_SiteLinksFloor/1000", 1.5},
        });
}
