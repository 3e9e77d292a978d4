// The program's start-up, step by step: the program's own window and load
// over the real registry, through a store that counts the registry calls and
// notes when they happen. Started by bench_driver run; prints key=value lines:
//   process_seconds, com_seconds, window_seconds, reads_seconds,
//   list_seconds, show_seconds, shown_at
//       from the driver's CreateProcess to wWinMain; COM set up; the window,
//       its controls and columns up to the load's first registry call; from
//       there to the end of its last one; from there to the window created
//       with every row, still hidden; showing and painting it; and the time
//       from CreateProcess to the window shown
//   sort_key_seconds
//       the time the sort keys of every row's name take, computed again after
//       the start-up: the load computes each once while it reads
//   rows, subkeys, calls, calls_of_places, closes_of_no_key, calls_*
//       the rows listed, the subkeys enumerated, the registry calls in all,
//       those for no subkey, store calls that closed key 0 and reached
//       nothing, and the calls by operation
//   row_calls_max, row_calls_min, row_calls, unlisted_calls
//       the calls for the subkey of the costliest and of the cheapest row,
//       for all rows' subkeys together and for all the subkeys that got no
//       row together
//   detect_probes, detect_listings, detect_queries, detect_roots,
//   installer_rows, registered_products
//       after the start-up, "Detect Old Entries to Delete" over the rows:
//       its file probes, exact-name folder listings, questions to Windows
//       Installer and drive roots asked; the rows of Windows Installer
//       commands, and the products its keys register
#include <algorithm>
#include <cstdio>
#include <string>

#include <windows.h>
#include <objbase.h>

#include "Actions.h"
#include "BenchSupport.h"
#include "Collation.h"
#include "CommandAnalysis.h"
#include "CountingRegistry.h"
#include "Environment.h"
#include "Form1.h"
#include "Installer.h"
#include "Misc.h"
#include "UninstallEntry.h"
#include "Win32Registry.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    const double started = DriverStarted();
    const double mainAt = Now() - started;
    // As the program does, for the shell's sake.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const double comAt = Now() - started;

    Win32Registry windows;
    CountingRegistry registry(windows);
    Form1 form(registry);
    if (!form.Create())
        return 1;
    const double createdAt = Now() - started;
    form.Show(showCommand);
    const double shownAt = Now() - started;

    ListViewItems& list = form.List();
    const int rows = list.Count();
    long long rowCalls = 0;
    long long rowCallsMax = 0;
    long long rowCallsMin = rows > 0 ? 1LL << 40 : 0;
    for (int position = 1; position <= rows; ++position) {
        const long long calls = registry.CallsFor(list.Place(position), list.SubItem(position, kKeyNameSubItem));
        rowCalls += calls;
        rowCallsMax = std::max(rowCallsMax, calls);
        rowCallsMin = std::min(rowCallsMin, calls);
    }
    const double keysStart = Now();
    for (int position = 1; position <= rows; ++position)
        DisplayNameSortKey(list.Text(position));
    const double sortKeySeconds = Now() - keysStart;

    // Detection over the same rows, each question to the machine counted.
    long long probes = 0, listings = 0, queries = 0, roots = 0;
    Machine machine{ReadEnvironments(), WindowsFolder(), RegisteredProducts(), nullptr, nullptr, nullptr, nullptr};
    machine.rootKind = [&](std::string_view root) { return ++roots, RootKind(root); };
    machine.probeFile = [&](std::string_view path) { return ++probes, ProbeFile(path); };
    machine.isUnlisted = [&](std::string_view path) { return ++listings, IsUnlisted(path); };
    machine.productState = [&](std::string_view code) { return ++queries, QueryProductState(code); };
    DetectOldEntries(list, machine);
    int installerRows = 0;
    for (int position = 1; position <= rows; ++position)
        installerRows += AnalyseCommand(list.SubItem(position, kUninstallSubItem)).windowsInstaller ? 1 : 0;

    const CountingRegistry::Counts& total = registry.Total();
    const double firstCallAt = registry.FirstCallEnded() - started;
    const double lastCallAt = registry.LastCallEnded() - started;
    std::printf("process_seconds=%.4f\ncom_seconds=%.4f\nwindow_seconds=%.4f\nreads_seconds=%.4f\n"
                "list_seconds=%.4f\nshow_seconds=%.4f\nshown_at=%.4f\nsort_key_seconds=%.4f\n",
                mainAt, comAt - mainAt, firstCallAt - comAt, lastCallAt - firstCallAt, createdAt - lastCallAt,
                shownAt - createdAt, shownAt, sortKeySeconds);
    std::printf("rows=%d\nsubkeys=%lld\ncalls=%lld\ncalls_of_places=%lld\ncloses_of_no_key=%lld\n", rows,
                registry.EnumeratedSubkeys(), total.Registry(), registry.CallsOfPlaces(), total.closeOfNoKey);
    std::printf("calls_open_for_enumeration=%lld\ncalls_enumerate=%lld\ncalls_open=%lld\ncalls_query=%lld\n"
                "calls_close=%lld\n",
                total.openForEnumeration, total.enumerate, total.open, total.query, total.close);
    std::printf("row_calls_max=%lld\nrow_calls_min=%lld\nrow_calls=%lld\nunlisted_calls=%lld\n", rowCallsMax,
                rowCallsMin, rowCalls, total.Registry() - registry.CallsOfPlaces() - rowCalls);
    std::printf("detect_probes=%lld\ndetect_listings=%lld\ndetect_queries=%lld\ndetect_roots=%lld\n"
                "installer_rows=%d\nregistered_products=%zu\n",
                probes, listings, queries, roots, installerRows, machine.registeredProducts.size());
    std::fflush(stdout);
    if (SUCCEEDED(com))
        CoUninitialize();
    // Tearing down the rows one by one is no part of the start-up.
    ExitProcess(0);
}
