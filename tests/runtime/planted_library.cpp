// A library planted beside a program under a system library's name. If
// the runtime ever loads it, the export below is found.
extern "C" __declspec(dllexport) int __stdcall PlantedMarker() { return 1234; }
