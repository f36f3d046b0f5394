// lumaro-inspect: Lumaro's reader and drawing without a window, printing
// what the window would show as JSON.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return usageError("no command given");
    const std::string command = argv[1];
    if (command == "--help" && argc == 2) {
        printUsage(stdout);
        return 0;
    }
    if (command == "--version" && argc == 2) {
        std::printf("lumaro-inspect %s\n", LUMARO_VERSION);
        return 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    if (const int status = takeFace(args))
        return status;

    if (command == "load")
        return runLoad(args);
    if (command == "map")
        return runMap(args);
    if (command == "glyph")
        return runGlyph(args);
    if (command == "outline")
        return runOutline(args);
    if (command == "render")
        return runRender(args);
    if (command == "find")
        return runFind(args);
    if (command == "pixels")
        return runPixels(args);
    if (command == "shape")
        return runShape(args);
    if (command == "colour")
        return runColour(args);
    if (command == "hint")
        return runHint(args);
    if (command == "instructions")
        return runInstructions(args);
    if (command == "check")
        return runCheck(args);
    if (command == "diff")
        return runDiff(args);
    if (command == "tables")
        return runTables(args);
    if (command == "names") {
        if (args.size() != 1)
            return usageError("names takes one font file");
        return runNames(args[0]);
    }
    return usageError("unknown command '" + command + "'");
}
