#include <charconv>
#include <vector>

#include "pictures/web_picture.h"

namespace pictures {
namespace {

const std::string_view kStart = "tavirel-bild 1";

}  // namespace

std::string ReportOf(const TWebPicture& picture) {
    std::string line(kStart);
    for (const long long number :
         {static_cast<long long>(picture.width), static_cast<long long>(picture.height),
          static_cast<long long>(picture.originalWidth), static_cast<long long>(picture.originalHeight),
          static_cast<long long>(picture.scaled), static_cast<long long>(picture.hadLocation),
          static_cast<long long>(picture.bytes.size())})
        line += " " + std::to_string(number);
    return line + "\n" + picture.bytes;
}

std::optional<TWebPicture> PictureFromReport(std::string_view report) {
    const std::size_t end = report.find('\n');
    if (end == std::string_view::npos || end > 200 || report.substr(0, kStart.size()) != kStart) return std::nullopt;
    std::vector<long long> numbers;
    const char* at = report.data() + kStart.size();
    const char* const last = report.data() + end;
    while (at < last) {
        if (*at != ' ') return std::nullopt;
        long long number = 0;
        const auto [next, error] = std::from_chars(at + 1, last, number);
        if (error != std::errc() || number < 0) return std::nullopt;
        numbers.push_back(number);
        at = next;
    }
    if (numbers.size() != 7 || numbers[6] != static_cast<long long>(report.size() - end - 1)) return std::nullopt;
    const auto side = [](long long value) { return static_cast<int>(std::min(value, 1LL << 30)); };
    TWebPicture picture;
    picture.width = side(numbers[0]);
    picture.height = side(numbers[1]);
    picture.originalWidth = side(numbers[2]);
    picture.originalHeight = side(numbers[3]);
    picture.scaled = numbers[4] != 0;
    picture.hadLocation = numbers[5] != 0;
    picture.bytes = std::string(report.substr(end + 1));
    return picture;
}

}  // namespace pictures
