// Appends to the tree file when the process ends at once on another thread
// (the window's "Quit" during a run).

#include "analysis/treefile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "testsupport.h"

namespace {

const char kOldTree[] = "(old,tree);\n";

off_t file_size(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

}  // namespace

// A process that ends while another thread's line grows in the file ends
// once the line is whole.
TEST(TreeFileEnd, EndingProcessWaitsForTheLineUnderWay) {
    constexpr std::size_t kLineBytes = 8 << 20;
    const std::string line = "(" + std::string(kLineBytes, 'x') + ",y);\n";
    TempDir dir;
    const std::string out = dir.write("out.tre", kOldTree);
    const off_t before = file_size(out);
    ChildProcess child([&] {
        std::thread writer([&] { append_tree_line(out, line); });
        while (file_size(out) == before) {
        }
        stop_tree_appends();
        std::_Exit(0);
        return 0;
    });
    ASSERT_TRUE(child.wait_for_end());
    EXPECT_EQ(child.wait_status(), 0);
    const std::string after = read_file(out);
    EXPECT_EQ(after.size(), std::string(kOldTree).size() + line.size());
    EXPECT_TRUE(after == kOldTree + line) << "the line was cut";
}
