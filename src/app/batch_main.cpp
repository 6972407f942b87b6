#include <cstdio>
int main() { std::puts("quillpost-batch"); return 0; }
