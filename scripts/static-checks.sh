#!/usr/bin/env bash
# Placeholder until this step is built.
exit 0
