// fontconfig parses its configuration once and keeps it for the process; nothing of ours is suppressed.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
