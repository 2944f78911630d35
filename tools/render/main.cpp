// Plays the card headless on the sim back-end and writes what a person would
// see over a plain desktop: an animated GIF or a numbered PNG series. With
// --bench it writes nothing and measures the CPU time instead.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/sim/sim_platform.h"
#include "runtime/running_view.h"
#include "tools/render/bench.h"
#include "tools/render/image_writers.h"

namespace {

constexpr uint32_t kDesktop = 0x1E3250;   // a night-blue desktop
constexpr int64_t kFrameUs = 100'000;     // 10 frames a second

struct Args {
    int width = 1024, height = 768;
    double seconds = 10;
    uint32_t seed = 1;
    std::string out;
    double from = 0;   // seconds of snowfall to skip before the first frame
    bool bench = false;
    bool fullRedraw = false;   // every step redraws and presents the whole view
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr,
                 "render: %s\n"
                 "usage: render --screen WxH --seconds S --seed N [--from S] [--full-redraw] --out FILE.gif|DIR\n"
                 "       render --bench --screen WxH --seconds S --seed N [--from S] [--full-redraw]\n",
                 why);
    std::exit(2);
}

Args parse(int argc, char** argv) {
    Args a;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--bench") {
            a.bench = true;
            continue;
        }
        if (flag == "--full-redraw") {
            a.fullRedraw = true;
            continue;
        }
        if (i + 1 >= argc) usage(("missing value after " + flag).c_str());
        const char* value = argv[++i];
        if (flag == "--screen") {
            if (std::sscanf(value, "%dx%d", &a.width, &a.height) != 2 || a.width < 320 || a.height < 200 ||
                a.width > 7680 || a.height > 4320)
                usage("--screen wants WxH between 320x200 and 7680x4320");
        } else if (flag == "--seconds") {
            a.seconds = std::atof(value);
            if (a.seconds <= 0 || a.seconds > 3600) usage("--seconds wants 0 < S <= 3600");
        } else if (flag == "--from") {
            a.from = std::atof(value);
            if (a.from < 0 || a.from > 3600) usage("--from wants 0 <= S <= 3600");
        } else if (flag == "--seed") {
            a.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
        } else if (flag == "--out") {
            a.out = value;
        } else {
            usage(("unknown flag " + flag).c_str());
        }
    }
    if (a.bench != a.out.empty()) usage(a.bench ? "--bench writes no --out" : "--out is required");
    return a;
}

render::Image capture(const platform::sim::SimPlatform& sim, int width, int height) {
    render::Image image{width, height, std::vector<uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels[static_cast<std::size_t>(y) * width + x] = sim.visibleAt(x, y, kDesktop);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const Args args = parse(argc, argv);
    if (args.bench)
        return render::runBench({.width = args.width, .height = args.height, .from = args.from,
                                 .seconds = args.seconds, .seed = args.seed, .fullRedraw = args.fullRedraw});
    const bool gif = args.out.size() > 4 && args.out.substr(args.out.size() - 4) == ".gif";
    if (!gif) {
        std::error_code error;
        std::filesystem::create_directories(args.out, error);
        if (error) usage(("cannot make folder " + args.out + ": " + error.message()).c_str());
    }

    // A stock Windows timer's granularity, so the run paces like the real one.
    platform::sim::SimPlatform sim({.screen = {args.width, args.height},
                                    .tickCountStart = args.seed,
                                    .wakeGranularityUs = 15625,
                                    .recordOperations = false});
    std::vector<render::Image> frames;
    const auto start = static_cast<int64_t>(args.from * 1e6);
    const auto end = start + static_cast<int64_t>(args.seconds * 1e6);
    int written = 0;
    bool failed = false;
    if (args.fullRedraw) sim.at(start, [] { runtime::runningView().setFullRedraw(true); });
    for (int64_t t = start; t < end; t += kFrameUs)
        sim.at(t, [&] {
            render::Image image = capture(sim, args.width, args.height);
            if (gif) {
                frames.push_back(std::move(image));
                return;
            }
            char name[32];
            std::snprintf(name, sizeof name, "frame%05d.png", written++);
            failed |= !render::writePng((std::filesystem::path(args.out) / name).string(), image);
        });
    sim.run(app::entryRoutine, end);

    if (gif) failed = !render::writeGif(args.out, frames, static_cast<int>(kFrameUs / 10'000));
    if (failed) {
        std::fprintf(stderr, "render: cannot write %s\n", args.out.c_str());
        return 1;
    }
    std::printf("render: %zu frames of %dx%d to %s\n", gif ? frames.size() : static_cast<std::size_t>(written),
                args.width, args.height, args.out.c_str());
    return 0;
}
