// One QApplication for all widget tests, offscreen unless the caller chose a platform.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "widgets/named_control.h"

namespace {

// Mesa unloads its GL driver (dri/*_dri.so) when the X display closes, before the leak check that
// runs at exit; the driver's own allocations would then be reported from an unknown module, which no
// leak suppression can name. Keeping the drivers loaded lets the report say where they came from.
void KeepGlDriversLoaded() {
    std::vector<std::string> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) {
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (name.find("/dri/") != std::string::npos && name.ends_with("_dri.so")) {
                static_cast<std::vector<std::string>*>(out)->push_back(name);
            }
            return 0;
        },
        &drivers);
    for (const std::string& driver : drivers) dlopen(driver.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

// A control the program looked for by name and did not find fails the test that made it look.
class MissingControlCheck : public ::testing::EmptyTestEventListener {
  public:
    void OnTestEnd(const ::testing::TestInfo& test) override {
        QStringList& missing = torvane::MissingControls();
        if (missing.isEmpty()) return;
        std::fprintf(stderr, "%s.%s looked up by name and did not find: %s\n", test.test_suite_name(),
                     test.name(), qPrintable(missing.join(", ")));
        missing.clear();
        failed = true;
    }
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    auto* check = new MissingControlCheck;  // the listener list owns it
    ::testing::UnitTest::GetInstance()->listeners().Append(check);
    const int result = RUN_ALL_TESTS();
    KeepGlDriversLoaded();
    return result != 0 || check->failed ? 1 : 0;
}
