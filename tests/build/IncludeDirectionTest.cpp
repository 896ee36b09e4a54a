#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "present/ViewRegistry.h"

// Each folder of src may include its own headers and those of the folders its module builds
// on, never a folder above it in the data flow: the build's module list is the rule.
namespace vornal {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::set<std::string>> AllowedFolders()
{
    std::map<std::string, std::set<std::string>> allowed;
    std::ifstream in(VORNAL_MODULE_DEPS_FILE);
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const std::string folder = line.substr(0, colon);
        std::istringstream deps(line.substr(colon + 1));
        allowed[folder].insert(folder);
        for (std::string dep; deps >> dep;) {
            allowed[folder].insert(dep);
        }
    }
    return allowed;
}

// The folder named by `#include "folder/..."`, empty for other lines.
std::string IncludedFolder(const std::string& line)
{
    const std::string directive = "#include \"";
    if (line.rfind(directive, 0) != 0) {
        return {};
    }
    const std::size_t slash = line.find('/', directive.size());
    return slash == std::string::npos ? std::string() : line.substr(directive.size(), slash - directive.size());
}

TEST(IncludeDirection, EveryFolderIncludesOnlyWhatItsModuleBuildsOn)
{
    const auto allowed = AllowedFolders();
    ASSERT_GT(allowed.size(), 10u) << "no module list at " << VORNAL_MODULE_DEPS_FILE;
    int checked = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(VORNAL_SOURCE_DIR)) {
        const fs::path file = entry.path();
        if (!entry.is_regular_file() || (file.extension() != ".h" && file.extension() != ".cpp")) {
            continue;
        }
        const std::string folder = file.parent_path().filename().string();
        const auto rule = allowed.find(folder);
        ASSERT_NE(rule, allowed.end()) << "folder " << folder << " has no module";
        std::ifstream in(file);
        int lineNo = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNo;
            const std::string included = IncludedFolder(line);
            if (!included.empty() && allowed.count(included) != 0) {
                EXPECT_EQ(rule->second.count(included), 1u)
                    << file.string() << ":" << lineNo << " includes " << included << "/, above " << folder << "/";
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 100);
}

// Calls `check` with every line of the window's and the command line's sources and where it
// is ("file:line"); returns how many files it read.
int ForEachFaceLine(const std::function<void(const std::string& line, const std::string& where)>& check)
{
    int files = 0;
    for (const char* face : {"ui", "cli"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(VORNAL_SOURCE_DIR) / face)) {
            std::ifstream in(entry.path());
            int lineNo = 0;
            for (std::string line; std::getline(in, line);) {
                check(line, entry.path().string() + ":" + std::to_string(++lineNo));
            }
            ++files;
        }
    }
    return files;
}

// The store's one-writer lock belongs to the day session, which takes it inside every
// writing operation: a face that took it too would wait on itself.
TEST(IncludeDirection, TheFacesNeverTakeTheStoreLockThemselves)
{
    const int checked = ForEachFaceLine([](const std::string& line, const std::string& where) {
        for (const char* word : {"app/StoreLock.h", "TryLockStore(", "LockStore("}) {
            EXPECT_EQ(line.find(word), std::string::npos) << where;
        }
    });
    EXPECT_GT(checked, 40);
}

// A view's caption lives in its description: a face that spelled one would find its tab or
// table by a text the registry may change without it.
TEST(IncludeDirection, TheFacesNeverSpellAViewCaption)
{
    const int checked = ForEachFaceLine([](const std::string& line, const std::string& where) {
        for (const ViewDescription& view : Views()) {
            const std::string quoted = "\"" + std::string(view.Caption) + "\"";
            EXPECT_EQ(line.find(quoted), std::string::npos) << where << " spells " << quoted;
        }
    });
    EXPECT_GT(checked, 40);
    EXPECT_GE(Views().size(), 12u);
}

} // namespace
} // namespace vornal
