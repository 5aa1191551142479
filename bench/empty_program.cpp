// A program that does nothing: how long Wine itself takes to start a
// process and see it end.
int main() { return 0; }
