// Stand-in for the companion tray program (filled in with the start-up work).
int main() { return 0; }
