#include "cli/FieldJson.h"

namespace {

nlohmann::ordered_json scalarJson(const FieldScalar& value) {
    return std::visit(
        [](const auto& v) -> nlohmann::ordered_json {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::monostate>) {
                return nullptr;
            } else {
                return v;
            }
        },
        value);
}

} // namespace

nlohmann::ordered_json fieldJson(const ShownValue& shown) {
    if (!shown.computed) {
        return scalarJson(shown.value);
    }
    return {{"stored", scalarJson(shown.value)}, {"computed", scalarJson(*shown.computed)}};
}

nlohmann::ordered_json storedJson(const ShownValue& shown) {
    return scalarJson(shown.value);
}

std::string jsonText(const nlohmann::ordered_json& value) {
    return value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
