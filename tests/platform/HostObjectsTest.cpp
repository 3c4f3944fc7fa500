// Filled in with the headless host objects.
