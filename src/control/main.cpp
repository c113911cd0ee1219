// korvane: entry point. Start-up and mode dispatch live in control/run_modes.
int main() { return 0; }
