/* A library loaded by name in the module tests that needs a function no library defines. */
int FunctionNoLibraryDefines(void);

int UnresolvedAnswer(void) { return FunctionNoLibraryDefines(); }
