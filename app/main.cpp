// korvane [PROJECT.kvp]: the desktop program.
#include <cstdio>
#include <cstring>

#include "app/kvn_app.h"
#include "korvane_version.h"

namespace {

// Answered before the toolkit starts, so that they need no display (help2man reads them).
const char* const kHelp = R"(Usage: korvane [PROJECT.kvp]
  or:  korvane --help | --version
Designs wind turbine rotor blades and predicts rotor performance by blade element
momentum theory, in a window: opens PROJECT.kvp as File > Open does, or a new project.

Options:
      --help     show this text and exit
      --version  show the version and exit

Help > User guide (F1) shows the user guide, looked for in ../share/doc/korvane beside
the program and then in docs beside it. XFOIL (Debian's /usr/bin/xfoil) is run through
the adapter xfoil-core, looked for in ../lib/korvane from the program and then beside it.
The computations without a display: korvane-cli(1).

Environment:
  KORVANE_THREADS  the number of threads of the sweeps (default: one per core)
  KORVANE_XFOIL    another XFOIL executable instead of /usr/bin/xfoil
)";

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(KvnApp);

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("korvane %s\n", kKorvaneVersion);
        return 0;
    }
    // An option the program does not know is not a project file to open.
    if (argc >= 2 && argv[1][0] == '-' && argv[1][1] != '\0') {
        std::fprintf(stderr, "korvane: unknown option %s\nRun with --help for more information.\n", argv[1]);
        return 2;
    }
    const int status = wxEntry(argc, argv);
    // The toolkit's own message is hidden with the program's logging: say why it ended
    // (wxEntry gives -1 when the toolkit cannot start).
    if (status == -1)
        std::fputs("korvane: the window system could not be started (is DISPLAY set to a running X server?)\n", stderr);
    return status;
}
