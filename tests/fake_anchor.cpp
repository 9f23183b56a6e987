// Keeps the fakes library non-empty while it has only headers.
