// Placeholder until the images land.
