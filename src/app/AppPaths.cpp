// Placeholder until the shell lands; keeps the library target non-empty.
