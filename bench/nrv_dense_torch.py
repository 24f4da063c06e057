#!/usr/bin/env python3
"""The network of bench/nrv_dense.cpp in PyTorch, for a side-by-side ratio.

A 784-128-10 dense network (relu, softmax with cross-entropy, Adam at
0.001), 60,000 synthetic samples, one epoch in shuffled batches of 32, on one
thread, followed by one evaluation pass over the samples as nrvcore's train()
does. Skips cleanly when python3-torch is not installed.

    python3 bench/nrv_dense_torch.py [build/bin/nrv_dense]

Given the path of the nrvcore benchmark, it runs that too and prints the ratio.
"""
import re
import subprocess
import sys
import time

SAMPLES, INPUTS, HIDDEN, CLASSES, BATCH = 60000, 784, 128, 10, 32


def torch_epoch_seconds():
    import torch

    torch.set_num_threads(1)
    torch.manual_seed(1)
    inputs = torch.rand(SAMPLES, INPUTS)
    labels = (inputs[:, 0] * CLASSES).long() % CLASSES
    model = torch.nn.Sequential(
        torch.nn.Linear(INPUTS, HIDDEN), torch.nn.ReLU(), torch.nn.Linear(HIDDEN, CLASSES))
    optimizer = torch.optim.Adam(model.parameters(), lr=0.001)
    loss_fn = torch.nn.CrossEntropyLoss()
    start = time.perf_counter()
    order = torch.randperm(SAMPLES)
    for first in range(0, SAMPLES, BATCH):
        index = order[first:first + BATCH]
        optimizer.zero_grad()
        loss = loss_fn(model(inputs[index]), labels[index])
        loss.backward()
        optimizer.step()
    with torch.no_grad():
        for first in range(0, SAMPLES, 256):
            loss_fn(model(inputs[first:first + 256]), labels[first:first + 256])
    return time.perf_counter() - start


def main():
    try:
        import torch  # noqa: F401
    except ImportError:
        print("skipped: python3-torch is not installed")
        return 0
    torch_seconds = torch_epoch_seconds()
    print(f"pytorch 784-128-10 dense, {SAMPLES} samples, batch {BATCH}, Adam, 1 thread")
    print(f"time per epoch: {torch_seconds:.3f} s")
    if len(sys.argv) > 1:
        output = subprocess.run([sys.argv[1]], capture_output=True, text=True, check=True).stdout
        match = re.search(r"time per epoch: ([0-9.]+) s", output)
        if match:
            nrv_seconds = float(match.group(1))
            print(f"nrvcore time per epoch: {nrv_seconds:.3f} s")
            print(f"nrvcore / pytorch: {nrv_seconds / torch_seconds:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
