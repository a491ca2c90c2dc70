// The native build: the own INI reader and the width table.
#include "Command.h"

namespace settingcheck {

namespace {

class DocumentValues : public ValueSource {
public:
    explicit DocumentValues(IniDocument document) : m_document(std::move(document)) {}
    bool Get(const std::wstring& section, const std::wstring& key,
             std::wstring& value) const override {
        return m_document.Get(section, key, value);
    }

private:
    IniDocument m_document;
};

}  // namespace

Platform MakePlatform(bool) {
    static const std::unique_ptr<TextMeter> meter = MakeTableMeter();
    Platform platform;
    platform.openValues = [](const std::filesystem::path&, const IniDocument& document) {
        return std::unique_ptr<ValueSource>(new DocumentValues(document));
    };
    platform.meter = meter.get();
    return platform;
}

}  // namespace settingcheck
