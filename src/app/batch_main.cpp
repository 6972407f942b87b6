// quillpost-batch: Quillpost's jobs from the command line.

#include "app/batch/batch_command.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    int status = qp::batch::runBatch(argc, argv, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
