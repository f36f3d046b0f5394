#include "cli/location_option.h"

#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/common.h"
#include "platform/shaping.h"

int parseLocationOption(const std::string& value, std::span<const std::uint8_t> fontBytes, int faceIndex,
                        Location& location)
{
    std::vector<std::pair<std::string, double>> values;
    std::string_view rest = value;
    while (!rest.empty()) {
        const std::string_view item = rest.substr(0, rest.find(','));
        rest = item.size() < rest.size() ? rest.substr(item.size() + 1) : std::string_view();
        const std::size_t equals = item.find('=');
        double v = 0;
        const char* end = item.data() + item.size();
        if (equals == std::string_view::npos)
            return usageError("--location takes TAG=VALUE[,TAG=VALUE...]");
        const auto [stop, error] = std::from_chars(item.data() + equals + 1, end, v);
        if (error != std::errc() || stop != end)
            return usageError("--location: '" + std::string(item) + "' has no number");
        values.emplace_back(std::string(item.substr(0, equals)), v);
    }
    const std::optional<Location> normalized = NormalizeLocation(fontBytes, faceIndex, values);
    if (!normalized)
        return usageError("--location names an axis the font does not have");
    location = *normalized;
    return 0;
}
