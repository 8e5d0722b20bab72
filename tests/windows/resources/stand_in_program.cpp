// A program that only carries the program resources, to test them apart
// from the launcher.
int main() { return 0; }
