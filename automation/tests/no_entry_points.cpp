// A shared library that is not a component: activation must refuse it.
extern "C" int NotAComponent() { return 42; }
