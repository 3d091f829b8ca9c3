// Tests that draw windows run Qt, whose font library keeps caches for the
// life of the process; the leak checker of sanitizer builds is told so.
// Compiled into every test program that links the test support, so that
// it is there whichever pilot the program uses; other builds never call it.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
