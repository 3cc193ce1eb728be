// Every control of the page forms that shows a text has a row in the caption table, and every row names
// a control the window has. The forms are read with a plain scan of their widget tags.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "text/message_table.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = TORVANE_SOURCE_DIR;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> FilesIn(const fs::path& dir, std::string_view extension) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        if (e.path().extension() == extension) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct FormWidget {
    std::string className;
    bool hasText = false;  // a non-empty text or title property
};

// objectName -> widget, over all page forms. A widget's own properties precede its first child.
std::map<std::string, FormWidget> ScanForms() {
    std::map<std::string, FormWidget> widgets;
    for (const fs::path& form : FilesIn(kSource / "src/editor/pages", ".ui")) {
        const std::string xml = ReadText(form);
        const std::string open = "<widget class=\"";
        for (std::size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
            const std::size_t classEnd = xml.find('"', at + open.size());
            const std::size_t nameAt = xml.find("name=\"", classEnd) + 6;
            const std::size_t nameEnd = xml.find('"', nameAt);
            FormWidget w{xml.substr(at + open.size(), classEnd - at - open.size()), false};
            const std::size_t end = std::min(xml.find("<widget", nameEnd), xml.find("</widget>", nameEnd));
            const std::string own = xml.substr(nameEnd, end - nameEnd);
            for (const char* property : {"<property name=\"text\">", "<property name=\"title\">"}) {
                const std::size_t p = own.find(property);
                if (p == std::string::npos) continue;
                const std::size_t s = own.find("<string", p);
                w.hasText = w.hasText || (s != std::string::npos && own.compare(s, 9, "<string/>") != 0 &&
                                          own.compare(s, 17, "<string></string>") != 0);
            }
            widgets[xml.substr(nameAt, nameEnd - nameAt)] = w;
        }
    }
    return widgets;
}

bool HasRow(std::string_view control, CaptionKind kind) {
    const auto rows = CaptionTable();
    return std::any_of(rows.begin(), rows.end(),
                       [&](const CaptionRow& r) { return r.control == control && r.kind == kind; });
}

// Texts that are not taken from the caption table.
bool TextSetElsewhere(const std::string& name) {
    static const std::set<std::string> kNames = {
        "LabelPilotLight",       // MsgShiftLight + " [rpm]", composed when the language is applied
        "LabelIdleModeErr",      // MsgIntakeServoMustBeEnabled or -Disabled, by the idle mode
        "GroupBoxIdleServoPoz",  // MsgDesiredRpm, MsgIntakeServoStartPosition or MsgTpsMinInServoSteps
        "LabelIdleKorAdv",       // readouts of live values
        "LabelTpsNapeti",       "LabelMonGearNapeti", "LabelMonPomerRpmSpeed",
    };
    return kNames.count(name) > 0 || name.starts_with("LabelMonPomerRpmSpeedAuto");
}

TEST(CaptionCoverage, EveryFormControlWithATextOrItemsHasItsRow) {
    const std::map<std::string, FormWidget> widgets = ScanForms();
    static const std::set<std::string> kTextClasses = {
        "QLabel",      "QCheckBox",    "torvane::CommitCheckBox", "QGroupBox",
        "QPushButton", "QRadioButton", "torvane::RadioGroup"};
    int checked = 0;
    for (const auto& [name, w] : widgets) {
        if (w.hasText && kTextClasses.count(w.className) > 0 && !TextSetElsewhere(name)) {
            ++checked;
            EXPECT_TRUE(HasRow(name, CaptionKind::Caption)) << name << " has no caption row";
        }
        if (w.className == "torvane::RadioGroup" || (w.className == "QComboBox" && name != "ComboBoxBike")) {
            EXPECT_TRUE(HasRow(name, CaptionKind::Items)) << name << " has no item list";
        }
    }
    EXPECT_GT(checked, 150) << "the scan of the forms found too few controls";
    for (const char* name :
         {"LabelPilotLight", "LabelIdleModeErr", "GroupBoxIdleServoPoz", "LabelTpsNapeti"}) {
        EXPECT_TRUE(widgets.count(name) > 0 && widgets.at(name).hasText) << name << " left the forms";
    }
}

// A row whose control the window lacks is applied to nothing.
TEST(CaptionCoverage, EveryRowNamesAControlOfTheWindow) {
    std::string sources;
    for (const char* dir : {"src/editor/pages", "src/editor", "src/mapgrid", "src/app/window",
                            "src/app/tools", "src/app/monitor", "src/app/datalog", "src/app/mapviews"}) {
        for (const char* extension : {".ui", ".cpp"}) {
            for (const fs::path& file : FilesIn(kSource / dir, extension)) sources += ReadText(file);
        }
    }
    // A group of the grounded inputs that the Monitor page does not have yet: it shows them in
    // GroupBoxMonInOut.
    const std::set<std::string_view> kNotInWindow = {"GroupBoxMonInput"};
    for (const CaptionRow& row : CaptionTable()) {
        const std::string quoted = "\"" + std::string(row.control) + "\"";
        const bool found = sources.find(quoted) != std::string::npos;
        EXPECT_EQ(found, kNotInWindow.count(row.control) == 0) << row.control;
    }
}

}  // namespace
}  // namespace torvane
