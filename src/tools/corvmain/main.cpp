// Stand-in for the terminal emulator (filled in with the start-up work).
int main() { return 0; }
