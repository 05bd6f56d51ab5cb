# Benchmarks of this area are added here.
