// What LeakSanitizer passes over in every test program: allocations system libraries keep for the life
// of the process. fontconfig parses its configuration once (every editor asks it for the fallback
// faces of other scripts); Mesa's EGL, GL and software renderer keep theirs. Nothing of ours is here.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig\n"
         "leak:libEGL_mesa\nleak:libgallium\nleak:swrast_dri\nleak:libLLVM\nleak:libglapi\nleak:libGLX_mesa\n"
         "leak:dri\n";
}
