// The trivial dialog of the Options benchmark's baseline: its template and its host window.
#ifndef LUMETTA_BENCH_OPTIONS_TRIVIAL_H
#define LUMETTA_BENCH_OPTIONS_TRIVIAL_H

#define IDD_TRIVIAL 100
#define TRIVIAL_HOST_CLASS L"LumettaBenchDialogHost"

#endif
