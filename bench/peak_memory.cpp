// Peak memory of the PDF export of ten document pages, set against the size
// of its result. A separate program, so that nothing else in the process
// has raised the high-water mark.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "process_memory.h"
#include "oracles/synthetic_page.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"

using orvix::bench::resetPeak;
using orvix::bench::statusBytes;

int main(int argc, char** argv) {
    const int width = argc > 1 ? std::atoi(argv[1]) : 2592;
    const int height = argc > 2 ? std::atoi(argv[2]) : 1944;
    const int pages = argc > 3 ? std::atoi(argv[3]) : 10;

    orvix::test::TestShell shell;
    orvix::test::TestPump pump;
    orvix::TmyOrvixCamFrame frame{shell, pump};
    for (int p = 0; p < pages; ++p) {
        const int i = frame.ImageEnMView1.append();
        frame.ImageEnMView1.setImage(i, orvix::oracle::makeDocumentPage(width, height, 2024 + p));
    }

    const bool reset = resetPeak();
    const long long before = statusBytes("VmHWM");
    const long long rssBefore = statusBytes("VmRSS");
    const std::string result = frame.allImageAsPdfData();
    const long long after = statusBytes("VmHWM");

    const long long growth = after - before;
    const double rawPage = 3.0 * width * height;
    const double bound = 3.0 * static_cast<double>(result.size()) + rawPage;
    std::printf("pages %d x %dx%d, peak reset %s, VmRSS before %.1f MiB, VmHWM before %.1f MiB, after %.1f MiB\n",
                pages, width, height, reset ? "yes" : "no (before is the build peak)", rssBefore / 1048576.0,
                before / 1048576.0, after / 1048576.0);
    std::printf("peak growth %lld B (%.1f MiB), result %zu B (%.1f MiB), raw page %.0f B (%.1f MiB)\n", growth,
                growth / 1048576.0, result.size(), result.size() / 1048576.0, rawPage, rawPage / 1048576.0);
    std::printf("growth / (3 x result + raw page) = %.3f (goal below 1)\n", growth / bound);
    return 0;
}
