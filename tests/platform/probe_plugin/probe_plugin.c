/* A library loaded by name in the module tests: one export with a known answer. */
int ProbeAnswer(void) { return 42; }
